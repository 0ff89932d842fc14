// Mesh builders for the test shapes.
#include "helpers/test_shape.h"

int testShape::destroyed = 0;

void testShape::makeMesh(uint16_t vertexTotal, uint16_t faceTotal) {
    delete[] vertices;
    delete[] faces;
    vertexCount = vertexTotal;
    faceCount = faceTotal;
    vertices = new vertex[vertexTotal];
    faces = new face[faceTotal];
    for (uint16_t i = 0; i < vertexTotal; ++i) {
        vertices[i].set(float(i), float(i % 3), 0);
    }
    for (uint16_t i = 0; i < faceTotal; ++i) {
        faces[i].init(0, 1, 2);
    }
}

testShape* makeSquare(bool asQuad) {
    testShape* square = new testShape;
    square->makeMesh(4, asQuad ? 1 : 2);
    vertex* v = square->meshVertices();
    v[0].set(-1, -1, 0);
    v[1].set(1, -1, 0);
    v[2].set(1, 1, 0);
    v[3].set(-1, 1, 0);
    face* f = square->meshFaces();
    if (asQuad) {
        f[0].init(0, 1, 2, 3);
    } else {
        f[0].init(0, 1, 2);
        f[1].init(0, 2, 3);
    }
    square->calculateVertexNormals();
    return square;
}
