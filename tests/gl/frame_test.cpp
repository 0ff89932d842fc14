// The frame loop in a real GL context: the projection with the camera's look-at, the state a
// frame leaves behind, resizing, and the idle callback at the end of the show.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "helpers/fake_clock.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct mat4 {
    double m[4][4] = {};
    double* operator[](int r) { return m[r]; }
    const double* operator[](int r) const { return m[r]; }
};

mat4 product(const mat4& a, const mat4& b) {
    mat4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[i][j] += a[i][k] * b[k][j];
    return r;
}

// Written from the textbook definitions, independently of GLU.
mat4 perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    double f = 1.0 / std::tan(fovyDegrees * M_PI / 360.0);
    mat4 p;
    p[0][0] = f / aspect;
    p[1][1] = f;
    p[2][2] = (zFar + zNear) / (zNear - zFar);
    p[2][3] = 2 * zFar * zNear / (zNear - zFar);
    p[3][2] = -1;
    return p;
}

void normalise(double* v) {
    double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] /= l;
}

void cross(const double* a, const double* b, double* out) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

mat4 lookAt(const double* eye, const double* centre, const double* up) {
    double f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    normalise(f);
    double s[3], u[3];
    cross(f, up, s);
    normalise(s);
    cross(s, f, u);
    mat4 m;
    for (int i = 0; i < 3; ++i) {
        m[0][i] = s[i];
        m[1][i] = u[i];
        m[2][i] = -f[i];
    }
    m[0][3] = -(s[0] * eye[0] + s[1] * eye[1] + s[2] * eye[2]);
    m[1][3] = -(u[0] * eye[0] + u[1] * eye[1] + u[2] * eye[2]);
    m[2][3] = f[0] * eye[0] + f[1] * eye[1] + f[2] * eye[2];
    m[3][3] = 1;
    return m;
}

// GL hands matrices back column by column.
void expectGLMatrix(GLenum which, const mat4& expected, double tolerance) {
    GLfloat got[16];
    glGetFloatv(which, got);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got[c * 4 + r], expected[r][c], tolerance) << "row " << r << " col " << c;
}

class FrameLoop : public testing::Test {
  protected:
    void SetUp() override {
        savedCamera = camera;
        gProgramMode = kpmAtStart;
        gWindowWidth = kWindowWidth;
        gWindowHeight = kWindowHeight;
        gWireFrameOnly = false;
        gTextOn = false;
    }
    void TearDown() override {
        camera = savedCamera;
        ResizeWindow(kWindowWidth, kWindowHeight);
        gProgramMode = kpmAtStart;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    cameraClass savedCamera;
    fakeClock clock;
};

} // namespace

TEST_F(FrameLoop, ProjectionIsPerspectiveTimesTheCamerasLookAt) {
    camera.setLocation(-16, 4, 7);
    camera.setTarget(-22, 1, 10);
    ViewScene();
    const double eye[3] = {-16, 4, 7}, centre[3] = {-22, 1, 10}, up[3] = {0, 1, 0};
    mat4 expected = product(perspective(45, 720.0 / 576.0, 0.1, 500), lookAt(eye, centre, up));
    expectGLMatrix(GL_PROJECTION_MATRIX, expected, 1e-4);
    mat4 identity;
    for (int i = 0; i < 4; ++i)
        identity[i][i] = 1;
    expectGLMatrix(GL_MODELVIEW_MATRIX, identity, 0);
}

TEST_F(FrameLoop, LeavesBalancedStacksAndTheDocumentedState) {
    gTextOn = true; // the overlays push and pop matrices too
    clock.startShowAt(121);
    ViewScene();
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 0);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST)); // on for the translucent pass only
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    GLint alphaFunc = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &alphaFunc);
    EXPECT_EQ(alphaFunc, GL_GREATER);
    GLfloat ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_FLOAT_EQ(ambient[0], 0.5f);
    EXPECT_FLOAT_EQ(ambient[3], 1.0f);
}

TEST_F(FrameLoop, WireframeDrawsFrontAndBackAsLines) {
    gWireFrameOnly = true;
    ViewScene();
    GLint modes[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    EXPECT_EQ(modes[1], GL_LINE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    gWireFrameOnly = false;
    ViewScene();
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
}

TEST_F(FrameLoop, OnlyAnimatingFramesAreCounted) {
    gFrameCounter = 0;
    ViewScene();
    EXPECT_EQ(gFrameCounter, 0);
    gProgramMode = kpmAnimating;
    ViewScene();
    ViewScene();
    EXPECT_EQ(gFrameCounter, 2);
    gProgramMode = kpmPaused;
    ViewScene();
    EXPECT_EQ(gFrameCounter, 2);
    EXPECT_EQ(gPolygonCount, 0u);
}

TEST_F(FrameLoop, AZeroHeightWindowGivesAFiniteProjection) {
    ResizeWindow(720, 0);
    EXPECT_EQ(gWindowHeight, 0);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (float v : m) {
        EXPECT_TRUE(std::isfinite(v));
    }
    EXPECT_FLOAT_EQ(windowAspectRatio(), 720.0f);
    gTextOn = true;
    ViewScene(); // the overlay's orthographic projection must not be empty either
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (float v : m) {
        EXPECT_TRUE(std::isfinite(v));
    }
}

TEST_F(FrameLoop, ResizeFollowsTheWindowAndSaturatesHugeSizes) {
    ResizeWindow(400, 300);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);
    mat4 expected = perspective(45, 400.0 / 300.0, 0.1, 500);
    expectGLMatrix(GL_PROJECTION_MATRIX, expected, 1e-5);
    ResizeWindow(100000, 40000);
    EXPECT_EQ(gWindowWidth, 32767);
    EXPECT_EQ(gWindowHeight, 32767);
}

TEST_F(FrameLoop, TheEndOfTheShowFreezesTheClockAndStopsTheMusic) {
    struct recorder : audioBackend {
        void play(const char*) override {}
        void pause() override {}
        void resume() override {}
        void stop() override { stops++; }
        int stops = 0;
    } music;
    setAudioBackend(&music);
    clock.startShowAt(130.2f);
    gProgramMode = kpmAnimating;
    float last = getAnimationTime();
    gProgramMode = kpmFinished;
    NextFrame();
    clock.advance(3000);
    EXPECT_EQ(getAnimationTime(), last);
    EXPECT_EQ(music.stops, 1);
    gProgramMode = kpmAtStart;
    NextFrame(); // nothing happens in other modes
    EXPECT_EQ(music.stops, 1);
    setAudioBackend(nullptr);
}
