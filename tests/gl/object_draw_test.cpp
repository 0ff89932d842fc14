// Scene objects drawn in a real GL context: the transform GL builds equals the one computed on
// the CPU, each object picks its pass, chains and hiding, points, and the frame loop's passes.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "helpers/test_shape.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

class ObjectDrawing : public testing::Test {
  protected:
    void SetUp() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, kWindowWidth, kWindowHeight);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gPolygonCount = 0;
    }
    void TearDown() override {
        shapeVector.clear();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    // Pixels that are not black, over the whole back buffer.
    static int litPixels() {
        std::vector<unsigned char> rgb(size_t(kWindowWidth) * kWindowHeight * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int lit = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) {
            lit += (rgb[i] | rgb[i + 1] | rgb[i + 2]) != 0;
        }
        return lit;
    }
};

void expectSameMatrix(testShape& s) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    s.buildModelViewMatrix(0);
    GLfloat gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    matrix m;
    s.buildAbsoluteLocation(0, m);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            float scaleOfEntry = std::max(1.0f, std::fabs(m.at(r, c)));
            EXPECT_NEAR(gl[c * 4 + r], m.at(r, c), 2e-5f * scaleOfEntry) << "row " << r << " col " << c;
        }
    }
}

void placeEverything(testShape& s, float k) {
    s.setLocation(1.5f * k, -2 + k, 3 - k);
    s.setOrientation(10 * k, -35 + k, 70 - 3 * k);
    s.setScale(0.5f + k);
    s.setLocalOffset(-1 + k, 0.25f * k, 2);
    s.setLocalOrientation(-20 + k, 15 * k, 5);
    s.setLocalScale(1 + k, 2 - 0.5f * k, 0.75f);
}

} // namespace

TEST_F(ObjectDrawing, GlAndCpuBuildTheSameTransformThroughParentChains) {
    // Chains of one to four objects, every stage of every object set.
    for (int length = 1; length <= 4; ++length) {
        std::vector<std::unique_ptr<testShape>> chain;
        for (int i = 0; i < length; ++i) {
            chain.push_back(std::make_unique<testShape>());
            placeEverything(*chain.back(), 0.3f + 0.7f * float(i));
            if (i > 0) {
                chain.back()->setParent(chain[size_t(i - 1)].get());
            }
        }
        SCOPED_TRACE(length);
        expectSameMatrix(*chain.back());
    }
}

TEST_F(ObjectDrawing, EachObjectDrawsInItsOwnPass) {
    std::unique_ptr<testShape> opaque(makeSquare(false));
    std::unique_ptr<testShape> glass(makeSquare(true));
    glass->setColour(1, 1, 1, 0.5f);
    opaque->setScale(0.5f);
    glass->setScale(0.5f);

    opaque->draw(true);
    EXPECT_EQ(gPolygonCount, 0u);
    EXPECT_EQ(litPixels(), 0);
    opaque->draw(false);
    EXPECT_EQ(gPolygonCount, 2u);
    int covered = litPixels();
    EXPECT_EQ(covered, kWindowWidth * kWindowHeight / 4); // the square covers the middle quarter

    glClear(GL_COLOR_BUFFER_BIT);
    gPolygonCount = 0;
    glass->draw(false);
    EXPECT_EQ(gPolygonCount, 0u);
    EXPECT_EQ(litPixels(), 0);
    glass->draw(true);
    EXPECT_EQ(gPolygonCount, 1u);
    EXPECT_EQ(litPixels(), covered);
}

TEST_F(ObjectDrawing, ChainsAreVisitedInBothPassesAndHiddenWithTheirHead) {
    std::unique_ptr<testShape> head(makeSquare(false));
    std::unique_ptr<testShape> glass(makeSquare(true));
    glass->setColour(1, 1, 1, 0.5f);
    *head += *glass;
    *head += *head; // a copy of the head (2 faces) and of its glass member (1 face)
    head->draw(false);
    EXPECT_EQ(gPolygonCount, 4u);
    gPolygonCount = 0;
    head->draw(true);
    EXPECT_EQ(gPolygonCount, 2u);

    gPolygonCount = 0;
    glClear(GL_COLOR_BUFFER_BIT);
    head->hide();
    head->draw(false);
    head->draw(true);
    EXPECT_EQ(gPolygonCount, 0u);
    EXPECT_EQ(litPixels(), 0);
}

TEST_F(ObjectDrawing, DrawingRestoresTheAttributeStack) {
    std::unique_ptr<testShape> head(makeSquare(false));
    *head += *head;
    *head += *head;
    GLint before = -1, after = -2;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &before);
    glEnable(GL_CULL_FACE);
    head->draw(false);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &after);
    EXPECT_EQ(before, after);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(ObjectDrawing, VerticesWithoutFacesArePointsAndThePointSizeIsRestored) {
    testShape points;
    points.makeMesh(3, 0);
    glPointSize(3.0f);
    points.draw(false);
    GLfloat size = 0;
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 3.0f); // restored by the attribute pop
    EXPECT_EQ(gPolygonCount, 0u);
    EXPECT_GT(litPixels(), 0);

    glPushAttrib(GL_ALL_ATTRIB_BITS); // inside the push, privateDraw itself leaves 1.0
    glLoadIdentity();
    testShape direct;
    direct.makeMesh(2, 0);
    direct.drawOwn();
    glGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_EQ(size, 1.0f);
    glPopAttrib();

    testShape empty; // nothing at all: an empty point primitive, no error
    empty.draw(false);
}

TEST_F(ObjectDrawing, SmoothAndFlatShadingSendTheirNormals) {
    std::unique_ptr<testShape> quad(makeSquare(true));
    quad->setFlatFaces(false);
    quad->meshVertices()[3].normal.set(0.25f, 0.5f, 0.75f);
    glLoadIdentity();
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    quad->drawOwn();
    GLfloat normal[4];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[1], 0.5f); // the last vertex's own normal
    quad->setFlatFaces(true);
    quad->drawOwn();
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_FLOAT_EQ(normal[1], 0.0f); // the face normal
    EXPECT_FLOAT_EQ(normal[2], 1.0f);
    glPopAttrib();
}

TEST_F(ObjectDrawing, TheFrameLoopDrawsEveryShapeInBothPasses) {
    std::unique_ptr<testShape> opaque(makeSquare(false));
    std::unique_ptr<testShape> glass(makeSquare(true));
    glass->setColour(1, 1, 1, 0.5f);
    opaque->setLocation(-22, 1, 10);
    glass->setLocation(-22, 1, 10);
    shapeVector = {opaque.get(), glass.get()};
    gProgramMode = kpmAtStart;
    ViewScene();
    EXPECT_EQ(gPolygonCount, 3u);
    opaque->hide();
    ViewScene();
    EXPECT_EQ(gPolygonCount, 1u);
    GLint depth = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 0);
}
