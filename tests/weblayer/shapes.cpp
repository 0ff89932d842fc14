// Shapes built on the fly from a few parameters, the same vertices for both GLs.
#include "shapes.h"

#include <cmath>

namespace {

const float kPi = 3.14159265f;

void vertexWithNormal(const GlApi& gl, float x, float y, float z) {
    const GLfloat p[3] = {x, y, z};
    gl.normal3fv(p);
    gl.vertex3fv(p);
}

float height(float x, float z) { return 0.3f * std::sin(x * 1.7f) * std::cos(z * 1.3f); }

void groundVertex(const GlApi& gl, float x, float z) {
    const float e = 0.01f;
    const float dx = (height(x + e, z) - height(x - e, z)) / (2 * e);
    const float dz = (height(x, z + e) - height(x, z - e)) / (2 * e);
    const GLfloat n[3] = {-dx, 1, -dz}; // not of unit length: GL_NORMALIZE's work
    const GLfloat p[3] = {x, height(x, z), z};
    gl.normal3fv(n);
    gl.vertex3fv(p);
}

} // namespace

void drawSphere(const GlApi& gl, int slices, int stacks) {
    for (int i = 0; i < stacks; ++i) {
        const float a0 = kPi * float(i) / float(stacks) - kPi / 2;
        const float a1 = kPi * float(i + 1) / float(stacks) - kPi / 2;
        gl.begin(GL_TRIANGLE_STRIP);
        for (int j = 0; j <= slices; ++j) {
            const float b = 2 * kPi * float(j) / float(slices);
            vertexWithNormal(gl, std::cos(a1) * std::cos(b), std::sin(a1),
                             -std::cos(a1) * std::sin(b));
            vertexWithNormal(gl, std::cos(a0) * std::cos(b), std::sin(a0),
                             -std::cos(a0) * std::sin(b));
        }
        gl.end();
    }
}

void drawCube(const GlApi& gl) {
    static const GLfloat normals[6][3] = {{0, 0, 1},  {0, 0, -1}, {1, 0, 0},
                                          {-1, 0, 0}, {0, 1, 0},  {0, -1, 0}};
    static const GLfloat corners[6][4][3] = {
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}},
        {{1, -1, 1}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
        {{-1, 1, 1}, {1, 1, 1}, {1, 1, -1}, {-1, 1, -1}},
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}};
    for (int f = 0; f < 6; ++f) {
        gl.begin(GL_QUADS); // one block per face, as the show draws its blocks
        gl.normal3fv(normals[f]);
        for (int k = 0; k < 4; ++k) {
            gl.vertex3fv(corners[f][k]);
        }
        gl.end();
    }
}

void drawGround(const GlApi& gl, int n) {
    const float step = 4.0f / float(n);
    for (int r = 0; r < n; ++r) {
        gl.begin(GL_TRIANGLE_STRIP);
        for (int c = 0; c <= n; ++c) {
            const float x = -2 + step * float(c);
            groundVertex(gl, x, -2 + step * float(r));
            groundVertex(gl, x, -2 + step * float(r + 1));
        }
        gl.end();
    }
}

void showCamera(const GlApi& gl, float eyeX, float eyeY, float eyeZ) {
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.perspective(45, double(kWidth) / kHeight, 0.1, 100);
    gl.lookAt(eyeX, eyeY, eyeZ, 0, 0, 0, 0, 1, 0);
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
}
