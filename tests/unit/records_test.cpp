// Vertex and face records and the camera, short of drawing.
#include "support/camera.h"
#include "support/face.h"
#include "support/vertex.h"

#include <gtest/gtest.h>

TEST(Vertex, SetMovesThePointAndKeepsTheNormal) {
    vertex v;
    EXPECT_EQ(v.coordinate.data[3], 1);
    EXPECT_EQ(v.normal.data[3], 1);
    v.normal.set(0, 0, 1, 0);
    v.coordinate.set(9, 9, 9, 0);
    v.set(1, 2, 3);
    EXPECT_EQ(v.coordinate.data[0], 1);
    EXPECT_EQ(v.coordinate.data[2], 3);
    EXPECT_EQ(v.coordinate.data[3], 1);
    EXPECT_EQ(v.normal.data[2], 1);
    EXPECT_EQ(v.normal.data[3], 0);
    // Drawing reads three floats straight from these addresses.
    EXPECT_EQ(reinterpret_cast<float*>(&v.coordinate) + 4, reinterpret_cast<float*>(&v.normal));
}

TEST(Face, TrianglesAndQuadrilateralsAnswerTheirCorners) {
    face f;
    EXPECT_EQ(f.vertices, 0);
    f.init(4, 5, 6, 7);
    EXPECT_EQ(f.vertices, 4);
    EXPECT_EQ(f.vertex(3), 7);
    f.init(1, 2, 3);
    EXPECT_EQ(f.vertices, 3);
    EXPECT_EQ(f.vertex(0), 1);
    EXPECT_EQ(f.vertex(1), 2);
    EXPECT_EQ(f.vertex(2), 3);
    EXPECT_EQ(f.vert[3], 7); // the old fourth corner stays, unreachable through vertex()
    face copy = f;
    EXPECT_EQ(copy.vertex(2), 3);
}

TEST(Camera, DefaultsAndManualMoves) {
    cameraClass c;
    EXPECT_EQ(c.getLocation().data[2], 8);
    EXPECT_EQ(c.getLocation().data[3], 1);
    EXPECT_EQ(c.getTarget().data[0], 0);
    EXPECT_EQ(c.getUpVector().data[1], 1);
    c.moveBy(1, 0, 0);
    EXPECT_EQ(c.getLocation().data[0], 1);
    EXPECT_EQ(c.getTarget().data[0], 0);
    c.moveTargetBy(0, 1, 0);
    EXPECT_EQ(c.getTarget().data[1], 1);
    EXPECT_EQ(c.getLocation().data[1], 0);
    c.setLocation(-16, 4, 7);
    c.setTarget(-22, 1, 10);
    c.setUpVector(0, 0, 1);
    EXPECT_EQ(c.getLocation().data[0], -16);
    EXPECT_EQ(c.getTarget().data[2], 10);
    EXPECT_EQ(c.getUpVector().data[2], 1);
    EXPECT_EQ(c.getUpVector().data[3], 1);
}
