// Lit geometry drawn by the system's GL and by the layer, compared pixel by pixel: four
// positional lights of different colours, specular highlights of several sizes, a scaled
// model-view with GL_NORMALIZE, flat and smooth normals, and a translucent material.
#include "harness.h"
#include "shapes.h"

#include <gtest/gtest.h>

namespace {

// Per channel, in 1/255 steps: both light every vertex in single-precision floats, but in
// different orders of operations, and the layer passes materials as 16-bit fractions; a colour
// that lands on a rounding boundary can end one step apart. Both GLs rasterise the same
// triangles, so edges need no wider tolerance.
const int kTolerance = 1;

float gLightShift = 0; // moves light 1 for the sanity check

void fourLights(const GlApi& gl) {
    const GLfloat positions[4][4] = {
        {-3 + gLightShift, 2, 4, 1}, {3, 3, 2, 1}, {0, -2, 3, 1}, {2, 1, -4, 1}};
    const GLfloat diffuse[4][4] = {
        {0.9f, 0.3f, 0.3f, 1}, {0.3f, 0.8f, 0.3f, 1}, {0.3f, 0.3f, 0.9f, 1}, {0.5f, 0.5f, 0.5f, 1}};
    const GLfloat specular[4][4] = {
        {1, 1, 1, 1}, {0.6f, 0.6f, 0.2f, 1}, {0.2f, 0.4f, 0.8f, 1}, {0.5f, 0.5f, 0.5f, 1}};
    for (int i = 0; i < 4; ++i) {
        const GLenum light = GLenum(GL_LIGHT1 + i); // the show's lights 1 to 4
        gl.enable(light);
        gl.lightfv(light, GL_POSITION, positions[i]);
        gl.lightfv(light, GL_DIFFUSE, diffuse[i]);
        gl.lightfv(light, GL_SPECULAR, specular[i]);
    }
    const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1};
    gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
}

void material(const GlApi& gl, float r, float g, float b, float a, float specular, float shine) {
    const GLfloat d[4] = {r, g, b, a};
    const GLfloat s[4] = {specular, specular, specular, 1};
    gl.materialfv(GL_FRONT, GL_DIFFUSE, d);
    gl.materialfv(GL_FRONT, GL_SPECULAR, s);
    gl.materialf(GL_FRONT, GL_SHININESS, shine);
}

void litScene(const GlApi& gl) {
    showCamera(gl, 0.5f, 1.5f, 6);
    gl.enable(GL_DEPTH_TEST);
    gl.enable(GL_CULL_FACE);
    gl.enable(GL_LIGHTING);
    gl.enable(GL_NORMALIZE);
    fourLights(gl);

    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.translatef(0, -1.2f, 0);
    material(gl, 0.2f, 0.7f, 0.2f, 1, 0.3f, 10);
    drawGround(gl, 24);
    gl.popAttrib();

    gl.loadIdentity();
    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.translatef(-1.3f, 0.2f, 0);
    gl.scalef(0.8f, 1.2f, 0.6f); // non-uniform: normals need the inverse transpose
    material(gl, 0.8f, 0.6f, 0.2f, 1, 0.9f, 50);
    drawSphere(gl, 24, 16);
    gl.popAttrib();

    gl.loadIdentity();
    gl.pushAttrib(GL_ALL_ATTRIB_BITS);
    gl.translatef(1.2f, 0.3f, -0.5f);
    gl.rotatef(35, 1, 1, 0.3f);
    gl.scalef(0.6f, 0.6f, 0.6f);
    material(gl, 0.5f, 0.5f, 0.9f, 1, 0.7f, 128);
    drawCube(gl);
    gl.popAttrib();

    // The translucent pass, as the show draws it.
    gl.depthMask(GL_FALSE);
    gl.alphaFunc(GL_GREATER, 0.1f);
    gl.enable(GL_ALPHA_TEST);
    gl.enable(GL_BLEND);
    gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    gl.loadIdentity();
    gl.translatef(0.2f, 0.1f, 1.2f);
    gl.scalef(0.5f, 0.5f, 0.5f);
    material(gl, 0.9f, 0.9f, 0.9f, 0.45f, 1, 20);
    drawSphere(gl, 16, 10);
    gl.depthMask(GL_TRUE);
}

} // namespace

TEST(Lighting, MatchesTheSystemGlPixelByPixel) {
    const Picture system = render(kSystemGl, litScene);
    const Picture layer = render(kLayerGl, litScene);
    savePair("lighting", system, layer);
    const Difference d = compare(system, layer, kTolerance);
    std::printf("lighting: largest difference %d/255, mean %.4f, pixels over %d: %d\n", d.largest,
                d.mean, kTolerance, d.pixelsOver);
    EXPECT_GT(system.countNonBackground(), kWidth * kHeight / 3); // the scene is on screen
    EXPECT_EQ(d.pixelsOver, 0);
    EXPECT_EQ(lfglGetError(), GLenum(GL_NO_ERROR));
}

TEST(Lighting, AMovedLightChangesThePicture) {
    const Picture before = render(kLayerGl, litScene);
    gLightShift = 2;
    const Picture after = render(kLayerGl, litScene);
    gLightShift = 0;
    EXPECT_GT(compare(before, after, kTolerance).pixelsOver, 500);
}

// More than the layer hands to the GPU at once (it sends a frame in parts of about 16,000
// triangles): the parts must come out as one picture.
TEST(Lighting, AFrameSentInSeveralPartsMatchesTheSystemGl) {
    auto denseGround = [](const GlApi& gl) {
        showCamera(gl, 0, 3, 4);
        gl.enable(GL_DEPTH_TEST);
        gl.enable(GL_LIGHTING);
        gl.enable(GL_NORMALIZE);
        fourLights(gl);
        material(gl, 0.3f, 0.6f, 0.3f, 1, 0.4f, 15);
        drawGround(gl, 160); // 51,200 triangles
        gl.enable(GL_BLEND);
        gl.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        gl.depthMask(GL_FALSE);
        material(gl, 0.9f, 0.2f, 0.2f, 0.5f, 0, 0);
        gl.translatef(0, 0.4f, 0);
        drawSphere(gl, 24, 16); // blended after the ground: order matters
        gl.depthMask(GL_TRUE);
    };
    const Picture system = render(kSystemGl, denseGround);
    const Picture layer = render(kLayerGl, denseGround);
    savePair("dense", system, layer);
    const Difference d = compare(system, layer, kTolerance);
    std::printf("dense: largest difference %d/255, mean %.4f\n", d.largest, d.mean);
    EXPECT_GT(system.countNonBackground(), kWidth * kHeight / 2);
    EXPECT_EQ(d.pixelsOver, 0);
}
