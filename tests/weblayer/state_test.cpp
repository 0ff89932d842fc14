// Fixed-function state beyond lighting, each against the system GL: wireframe, culling,
// blending with the alpha test over a read-only depth buffer, points, overlay rectangles and
// the attribute stack.
#include "harness.h"
#include "shapes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

// Unlit, flat colours: the two GLs agree exactly. (Colours whose 8-bit value lies exactly
// half-way, such as 0.5 or 0.7, are avoided: under a perspective both interpolate the colour and
// get the constant back only to within rounding, so such a value may round either way.)
const int kExact = 0;

void expectIdentical(const char* name, void (*scene)(const GlApi&), int tolerance,
                     int minimumLit) {
    const Picture system = render(kSystemGl, scene);
    const Picture layer = render(kLayerGl, scene);
    savePair(name, system, layer);
    const Difference d = compare(system, layer, tolerance);
    std::printf("%s: largest difference %d/255, mean %.4f\n", name, d.largest, d.mean);
    EXPECT_EQ(d.pixelsOver, 0) << name << ": largest difference " << d.largest;
    EXPECT_LT(d.mean, 0.05) << name << ": more than the odd half-way colour";
    EXPECT_GE(system.countNonBackground(), minimumLit) << name << " drew too little to tell";
    EXPECT_EQ(lfglGetError(), GLenum(GL_NO_ERROR));
}

// A line on a pixel boundary may land on either side of it.
bool litNear(const Picture& p, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (!p.isBackground(x + dx, y + dy)) {
                return true;
            }
        }
    }
    return false;
}

void colouredCubes(const GlApi& gl) {
    showCamera(gl, 1, 2, 6);
    gl.enable(GL_DEPTH_TEST);
    gl.enable(GL_CULL_FACE);
    gl.translatef(-1, 0, 0);
    gl.rotatef(30, 0, 1, 0);
    gl.color3f(1, 0.6f, 0);
    drawCube(gl);
    gl.loadIdentity();
    gl.translatef(1.2f, 0, 0);
    gl.rotatef(-20, 1, 1, 0);
    gl.color3f(0, 0.8f, 1);
    drawCube(gl);
}

void wireframe(const GlApi& gl) {
    gl.polygonMode(GL_FRONT_AND_BACK, GL_LINE);
    colouredCubes(gl);
    gl.loadIdentity();
    gl.translatef(0, -1.5f, 0);
    gl.color3f(0.4f, 1, 0.4f);
    drawGround(gl, 6);
}

// A big quad facing the camera, then the same seen from behind.
void wireQuads(const GlApi& gl) {
    gl.polygonMode(GL_FRONT_AND_BACK, GL_LINE);
    gl.enable(GL_CULL_FACE);
    gl.ortho(0, kWidth, 0, kHeight, -1, 1);
    const GLfloat front[4][3] = {{20, 20, 0}, {120, 20, 0}, {120, 120, 0}, {20, 120, 0}};
    const GLfloat back[4][3] = {{140, 20, 0}, {140, 120, 0}, {190, 120, 0}, {190, 20, 0}};
    gl.begin(GL_QUADS);
    for (const auto& v : front) {
        gl.vertex3fv(v);
    }
    for (const auto& v : back) {
        gl.vertex3fv(v);
    }
    gl.end();
}

void translucentOverOpaque(const GlApi& gl) {
    gl.ortho(0, kWidth, 0, kHeight, -1, 1);
    gl.enable(GL_DEPTH_TEST);
    gl.color3f(0.8f, 0.1f, 0.1f);
    gl.rectf(20, 20, 120, 120); // opaque, at depth 0.5
    gl.depthMask(GL_FALSE);
    gl.alphaFunc(GL_GREATER, 0.1f);
    gl.enable(GL_ALPHA_TEST);
    gl.enable(GL_BLEND);
    gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.color4f(0.1f, 0.4f, 0.9f, 0.5f);
    gl.rectf(60, 60, 180, 140); // blends over the red and the black
    gl.color4f(1, 1, 1, 0.05f);
    gl.rectf(0, 0, 200, 150); // fails the alpha test everywhere
    gl.depthMask(GL_TRUE);
    gl.disable(GL_BLEND);
    // Behind the first square: the depth buffer was left as the opaque square made it.
    gl.translatef(0, 0, -0.5f);
    gl.color3f(0, 1, 0);
    gl.rectf(100, 100, 150, 150);
}

void points(const GlApi& gl) {
    gl.ortho(0, kWidth, 0, kHeight, -1, 1);
    gl.pointSize(5);
    gl.begin(GL_POINTS);
    for (int i = 0; i < 10; ++i) {
        const GLfloat p[3] = {15.0f + 18 * float(i), 20.0f + 11 * float(i), 0};
        gl.color3f(1, 0.1f * float(i), 0.5f);
        gl.vertex3fv(p);
    }
    gl.end();
    gl.pointSize(1);
}

// The player's timeline and help box: translucent rectangles in window pixels.
void overlays(const GlApi& gl) {
    gl.color3f(0.2f, 0.4f, 0.2f);
    gl.rectf(-1, -1, 1, 1); // something to blend over
    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.disable(GL_LIGHTING);
    gl.disable(GL_DEPTH_TEST);
    gl.enable(GL_BLEND);
    gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.matrixMode(GL_PROJECTION);
    gl.pushMatrix();
    gl.loadIdentity();
    gl.ortho(0, kWidth, 0, kHeight, -1, 1);
    gl.matrixMode(GL_MODELVIEW);
    gl.pushMatrix();
    gl.loadIdentity();
    gl.color4f(0.3f, 0.3f, 0.3f, 0.8f);
    gl.rectf(10, 1, 190, 4);
    gl.color4f(0.95f, 0.65f, 0.35f, 0.9f);
    gl.rectf(10, 1, 77.5f, 4);
    gl.color4f(1, 1, 1, 1);
    gl.rectf(76, 0, 79, 6);
    gl.color4f(0, 0, 0, 0.7f);
    gl.rectf(4, 60, 140, 146);
    gl.matrixMode(GL_PROJECTION);
    gl.popMatrix();
    gl.matrixMode(GL_MODELVIEW);
    gl.popMatrix();
    gl.popAttrib();
    gl.color3f(1, 1, 1);
    gl.rectf(0.5f, 0.5f, 0.9f, 0.9f); // after the pop: no blending, the old projection
}

// Everything the attribute stack holds changed inside a push, then popped: the cubes after it
// must come out as if nothing had happened, while a model-view change made inside stays.
void attributeDetour(const GlApi& gl) {
    showCamera(gl, 1, 2, 6);
    gl.enable(GL_DEPTH_TEST);
    gl.enable(GL_CULL_FACE);
    gl.color3f(1, 0.6f, 0);
    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.disable(GL_DEPTH_TEST);
    gl.disable(GL_CULL_FACE);
    gl.enable(GL_BLEND);
    gl.blendFunc(GL_ONE, GL_ONE);
    gl.enable(GL_ALPHA_TEST);
    gl.alphaFunc(GL_LESS, 0);
    gl.depthMask(GL_FALSE);
    gl.polygonMode(GL_FRONT_AND_BACK, GL_LINE);
    gl.viewport(0, 0, 50, 50);
    gl.pointSize(7);
    gl.color3f(0, 0, 1);
    gl.enable(GL_LIGHTING);
    gl.enable(GL_LIGHT0);
    gl.matrixMode(GL_PROJECTION); // the matrix mode is restored too
    gl.popAttrib();
    gl.translatef(-1, 0, 0); // on the model-view again
    drawCube(gl);
    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.translatef(2, 0.5f, 0); // matrices are not attributes: this one stays
    gl.popAttrib();
    gl.color3f(0, 0.8f, 1);
    drawCube(gl);
}

void attributeDetourReference(const GlApi& gl) {
    showCamera(gl, 1, 2, 6);
    gl.enable(GL_DEPTH_TEST);
    gl.enable(GL_CULL_FACE);
    gl.color3f(1, 0.6f, 0);
    gl.translatef(-1, 0, 0);
    drawCube(gl);
    gl.translatef(2, 0.5f, 0);
    gl.color3f(0, 0.8f, 1);
    drawCube(gl);
}

} // namespace

TEST(PolygonState, WireframeDrawsThePolygonsEdgesAsTheSystemGlDoes) {
    expectIdentical("wireframe", wireframe, kExact, 300);
}

TEST(PolygonState, WireQuadsShowFourEdgesAndNoBackFaces) {
    const Picture layer = render(kLayerGl, wireQuads);
    EXPECT_TRUE(litNear(layer, 70, 20)); // the bottom edge
    EXPECT_TRUE(litNear(layer, 20, 70)); // the left edge
    EXPECT_TRUE(layer.isBackground(70, 70));  // on the diagonal: not an edge
    EXPECT_TRUE(layer.isBackground(100, 100));
    for (int x = 135; x < 200; ++x) { // the clockwise quad is culled
        for (int y = 0; y < kHeight; ++y) {
            ASSERT_TRUE(layer.isBackground(x, y)) << x << ", " << y;
        }
    }
    expectIdentical("wire-quads", wireQuads, kExact, 300);
}

TEST(PolygonState, PointModeDrawsTheCornersOfFrontFacesAsTheSystemGlDoes) {
    auto corners = [](const GlApi& gl) {
        gl.polygonMode(GL_FRONT_AND_BACK, GL_POINT);
        gl.pointSize(3);
        colouredCubes(gl);
    };
    expectIdentical("corner-points", corners, kExact, 50);
}

TEST(PolygonState, CulledFilledCubesMatchTheSystemGl) {
    expectIdentical("cubes", colouredCubes, kExact, 3000);
}

TEST(FragmentState, BlendingAlphaTestAndReadOnlyDepthMatchTheSystemGl) {
    const Picture layer = render(kLayerGl, translucentOverOpaque);
    EXPECT_TRUE(layer.isBackground(5, 5)); // under the rectangle that fails the alpha test
    // The green square behind the red one: the same blend of blue over red as beside it.
    EXPECT_EQ(std::memcmp(layer.at(110, 110), layer.at(90, 90), 3), 0)
        << "drawn through the depth buffer";
    EXPECT_GT(layer.at(140, 145)[1], 200) << "the green square where nothing is in front";
    expectIdentical("blending", translucentOverOpaque, kExact, 10000);
}

TEST(FragmentState, PointsOfSizeFiveMatchTheSystemGl) {
    expectIdentical("points", points, kExact, 10 * 25);
}

TEST(FragmentState, OverlayRectanglesMatchTheSystemGl) {
    expectIdentical("overlays", overlays, kExact, 5000);
}

TEST(AttributeStack, PopRestoresEveryAttributeButNotTheMatrices) {
    const Picture reference = render(kLayerGl, attributeDetourReference);
    const Picture layer = render(kLayerGl, attributeDetour);
    EXPECT_EQ(compare(reference, layer, 0).pixelsOver, 0);
    EXPECT_GT(reference.countNonBackground(), 3000);
    expectIdentical("attributes", attributeDetour, kExact, 3000);
}

TEST(AttributeStack, PopPutsBackTheQueriedState) {
    lfglColor4f(0.25f, 0.5f, 0.75f, 1);
    lfglEnable(GL_DEPTH_TEST);
    lfglDisable(GL_BLEND);
    lfglPushAttrib(GL_ALL_ATTRIB_BITS);
    lfglColor4f(1, 0, 0, 0.5f);
    lfglDisable(GL_DEPTH_TEST);
    lfglEnable(GL_BLEND);
    lfglEnable(GL_LIGHT3);
    lfglPointSize(5);
    lfglPopAttrib();
    GLfloat colour[4], size;
    lfglGetFloatv(GL_CURRENT_COLOR, colour);
    lfglGetFloatv(GL_POINT_SIZE, &size);
    EXPECT_FLOAT_EQ(colour[0], 0.25f);
    EXPECT_FLOAT_EQ(colour[3], 1);
    EXPECT_FLOAT_EQ(size, 1);
    EXPECT_TRUE(lfglIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(lfglIsEnabled(GL_BLEND));
    EXPECT_FALSE(lfglIsEnabled(GL_LIGHT3));
    lfglPopAttrib();
    EXPECT_EQ(lfglGetError(), GLenum(GL_STACK_UNDERFLOW));
}
