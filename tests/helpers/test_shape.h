// A concrete scene object for tests: opens the protected parts of object3D and counts how many
// shapes were destroyed, so that chains can be checked for double or missing deletes.
#pragma once

#include "support/object3d.h"

class testShape : public object3D {
  public:
    static int destroyed;

    testShape() = default;
    testShape(const testShape& source) = default;
    testShape& operator=(const testShape& source) = default;
    ~testShape() override { ++destroyed; }
    object3D* clone() const override { return new testShape(*this); }

    using object3D::buildAbsoluteLocation;
    using object3D::buildModelViewMatrix;

    // A mesh of `vertexTotal` vertices and `faceTotal` triangles (0, 1, 2), left empty otherwise.
    void makeMesh(uint16_t vertexTotal, uint16_t faceTotal);
    vertex* meshVertices() { return vertices; }
    face* meshFaces() { return faces; }
    object3D* next() const { return sibling; }
    void drawOwn() { privateDraw(); }
    void setListName(unsigned int name) { listName = name; }
    void setFlatFaces(bool flat) { flatFaces = flat; }
    const vec& getLocalScale() const { return localScale; }
    const vec& getLocalOrientation() const { return localOrientation; }
    float getScale() const { return scale; }
    texture* getTexture() const { return theTexture; }
    unsigned int getListName() const { return listName; }
};

// A square in the plane z = 0 from (-1, -1) to (1, 1), facing +z.
testShape* makeSquare(bool asQuad);
