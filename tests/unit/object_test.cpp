// Scene objects without GL: placement through parent chains, colours and translucency, normals.
#include "helpers/test_shape.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

vec origin() { return vec(); }

void expectPoint(const vec& v, float x, float y, float z, float w = 1) {
    EXPECT_NEAR(v.data[0], x, 1e-5f);
    EXPECT_NEAR(v.data[1], y, 1e-5f);
    EXPECT_NEAR(v.data[2], z, 1e-5f);
    EXPECT_NEAR(v.data[3], w, 1e-6f);
}

} // namespace

TEST(Placement, WithoutParentTranslationRotationsThenScale) {
    testShape s;
    s.setLocation(1, 2, 3);
    s.setOrientation(0, 0, 90);
    s.setScale(2);
    vec p;
    p.set(1, 0, 0);
    s.getAbsoluteLocation(p);
    expectPoint(p, 1, 4, 3); // (1,0,0) scaled to (2,0,0), turned to (0,2,0), moved
}

TEST(Placement, LocalOffsetIsTurnedByTheOrientation) {
    testShape s;
    s.setOrientation(0, 0, 90);
    s.setLocalOffset(1, 0, 0);
    s.setLocation(5, 0, 0);
    vec p = origin();
    s.getAbsoluteLocation(p);
    expectPoint(p, 5, 1, 0);
}

TEST(Placement, ParentsPassOnScaleButNotLocalScale) {
    testShape parent, child;
    child.setParent(&parent);
    child.setLocation(1, 0, 0);
    parent.setLocalScale(2, 2, 2);
    vec p;
    p.set(1, 0, 0);
    child.getAbsoluteLocation(p);
    expectPoint(p, 2, 0, 0);

    parent.setLocalScale(1, 1, 1);
    parent.setScale(2);
    p.set(1, 0, 0);
    child.getAbsoluteLocation(p);
    expectPoint(p, 4, 0, 0); // both the distance and the child's geometry doubled

    child.setLocalScale(3, 1, 1); // the child's own local scale shapes the child
    p.set(1, 0, 0);
    child.getAbsoluteLocation(p);
    expectPoint(p, 8, 0, 0);
}

TEST(Placement, OrientationsAddUpTheChainAsPlainNumbers) {
    testShape parent, child;
    child.setParent(&parent);
    parent.setOrientation(0, 0, 30);
    child.setOrientation(0, 0, 45);
    child.setLocalOrientation(10, 10, 10); // never summed
    vec v = origin();
    child.getAbsoluteOrientation(v);
    expectPoint(v, 0, 0, 75);
}

TEST(Placement, AbsoluteScaleMultipliesScalesAndKeepsOwnLocalScale) {
    testShape parent, child;
    child.setParent(&parent);
    parent.setScale(3);
    parent.setLocalScale(4, 4, 4);
    child.setScale(2);
    child.setLocalScale(5, 6, 7);
    float s = 0;
    vec v;
    v.set(9, 9, 9, 9);
    child.getAbsoluteScale(s, v);
    EXPECT_FLOAT_EQ(s, 6);
    expectPoint(v, 5, 6, 7);
}

TEST(Fields, ColoursDecideTranslucency) {
    testShape s;
    EXPECT_FALSE(s.isTranslucent());
    s.setColour(1, 0, 0, 0.5f);
    EXPECT_TRUE(s.isTranslucent());
    s.setColour(1, 0, 0);
    EXPECT_FALSE(s.isTranslucent());
    float r, g, b, a;
    s.getColour(r, g, b, a);
    EXPECT_EQ(a, 1.0f);
    s.setColour(0, 1, 0, 1.0f);
    EXPECT_FALSE(s.isTranslucent());
    s.setColour(0, 1, 0, std::nanf(""));
    EXPECT_FALSE(s.isTranslucent());
    const float glass[4] = {0.2f, 0.3f, 0.4f, 0.25f};
    s.setColour(glass);
    EXPECT_TRUE(s.isTranslucent());
    s.getColour(r, g, b, a);
    EXPECT_EQ(g, 0.3f);
    s.setSpecularColour(0, 0, 0, 0); // the specular alpha does not count
    EXPECT_TRUE(s.isTranslucent());
    s.setShininess(7);
    EXPECT_EQ(s.getShininess(), 7);
    s.hide();
    EXPECT_TRUE(s.isInvisible());
    s.show();
    EXPECT_FALSE(s.isInvisible());
}

TEST(Fields, RelativeMovesKeepTheFourthComponent) {
    testShape s;
    vec v;
    v.set(1, 1, 1, 0);
    s.setLocation(v);
    s.moveBy(1, 2, 3);
    vec got;
    s.getLocation(got);
    expectPoint(got, 2, 3, 4, 0);
    s.setOrientation(1, 2, 3);
    s.rotateBy(1, 1, 1);
    float x, y, z;
    s.getOrientation(x, y, z);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(z, 4);
    s.setLocalOrientation(0, 0, 10);
    s.localRotateBy(0, 0, 5);
    EXPECT_EQ(s.getLocalOrientation().data[2], 15);
}

TEST(Normals, FaceNormalsComeFromTheFirstThreeCorners) {
    testShape* quad = makeSquare(true);
    const vec& n = quad->meshFaces()[0].faceNormal;
    expectPoint(n, 0, 0, 1);
    quad->meshVertices()[3].set(-1, 1, 5); // the fourth corner plays no part
    quad->calculateFaceNormals();
    expectPoint(n, 0, 0, 1);
    delete quad;
}

TEST(Normals, VertexNormalsAverageTheFacesThatUseThem) {
    // Two triangles meeting at a right angle along the edge from (0,0,0) to (1,0,0).
    testShape s;
    s.makeMesh(4, 2);
    vertex* v = s.meshVertices();
    v[0].set(0, 0, 0);
    v[1].set(1, 0, 0);
    v[2].set(0, 1, 0);  // in the plane z = 0, facing +z
    v[3].set(0, 0, -1); // in the plane y = 0, facing +y
    s.meshFaces()[0].init(0, 1, 2);
    s.meshFaces()[1].init(0, 1, 3);
    s.calculateVertexNormals();
    for (int shared : {0, 1}) {
        const vec& n = v[shared].normal;
        EXPECT_NEAR(std::sqrt(n.data[0] * n.data[0] + n.data[1] * n.data[1] + n.data[2] * n.data[2]),
                    1 / std::sqrt(2.0f), 1e-6f);
        EXPECT_NEAR(n.data[1], 0.5f, 1e-6f);
        EXPECT_NEAR(n.data[2], 0.5f, 1e-6f);
    }
    expectPoint(v[2].normal, 0, 0, 1);
    expectPoint(v[3].normal, 0, 1, 0);

    s.makeMesh(3, 0); // no faces: every normal is (0, 0, 0)
    s.calculateVertexNormals();
    expectPoint(s.meshVertices()[2].normal, 0, 0, 0);
}
