// One frame of the show: the camera on the projection matrix, the four lights, an opaque and a
// translucent pass over shapeVector, then the overlays. Used by the window, screenshots, the
// movie and the tools that render chosen moments.
#include "basicsource/frame.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

const char* const kShowTitle = "Lumenfold";

namespace {

const GLfloat ambientLight[] = {0.5f, 0.5f, 0.5f, 1.0f};
const double kFieldOfView = 45.0;
const double kNearPlane = 0.1;
const double kFarPlane = 500.0;

// The credits line, drawn from the credits' start on.
const char* const kCreditsYear = "2026";
const char* const kCreditsRightsOwner = "the Lumenfold team";
const char* const kCreditsArtist = "Lumenfold Studio";

std::vector<void (*)()> gOverlays;
std::string gStatusNotice;
void (*gFrameShownHook)() = nullptr;

void setPerspective() {
    glLoadIdentity();
    gluPerspective(kFieldOfView, windowAspectRatio(), kNearPlane, kFarPlane);
}

// Window sizes beyond what a short holds are kept at its largest value rather than wrapping
// to a negative size.
short toWindowSize(int pixels) { return short(std::clamp(pixels, 0, 32767)); }

void drawCast() {
    for (object3D* shape : shapeVector) {
        shape->draw(kDrawOpaque);
    }
    // Translucent objects are drawn after the opaque ones, unsorted, over a read-only depth
    // buffer, with the alpha test on for this pass only (left on, it would cost every later
    // draw, the next frame's opaque pass included, an alpha-tested shader in the browser).
    glDepthMask(GL_FALSE);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (object3D* shape : shapeVector) {
        shape->draw(kDrawTranslucent);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
}

void drawStatusLine() {
    if (gTextOn) {
        char tempStr[96];
        formatStatusLine(tempStr, sizeof tempStr);
        DrawText(gStatusNotice.empty() ? tempStr : gStatusNotice.c_str(), 10, 20);
        DrawFrameRate();
    } else if (!gStatusNotice.empty()) {
        DrawText(gStatusNotice.c_str(), 10, 20);
    }
}

} // namespace

frameLook windowLook() { return {true, gWireFrameOnly}; }
frameLook screenshotLook() { return {false, gWireFrameOnly}; }
frameLook movieLook() { return {false, false}; }

void addOverlay(void (*draw)()) {
    if (std::find(gOverlays.begin(), gOverlays.end(), draw) == gOverlays.end()) {
        gOverlays.push_back(draw);
    }
}

void setStatusNotice(const char* text) { gStatusNotice = text ? text : ""; }
const char* statusNotice() { return gStatusNotice.c_str(); }

void formatStatusLine(char* out, size_t size) {
    int written = std::snprintf(out, size, "Frame: %ld, Polygons: %ld, Time: %0.1f",
                                gFrameCounter, long(gPolygonCount), double(getAnimationTime()));
    const double speed = animationSpeed();
    if (speed != 1 && written >= 0 && size_t(written) < size) {
        std::snprintf(out + written, size - size_t(written), ", Speed: %gx", speed);
    }
}

float windowAspectRatio() {
    return float(gWindowWidth) / float(std::max<short>(gWindowHeight, 1));
}

void ViewScene() {
    renderFrame();
    glutSwapBuffers();
    if (gFrameShownHook) {
        gFrameShownHook();
    }
}

void setFrameShownHook(void (*hook)()) { gFrameShownHook = hook; }

void renderFrame() { renderShowFrame(windowLook()); }

void renderShowFrame(const frameLook& look) {
    gPolygonCount = 0;
    if (gProgramMode == kpmAnimating) {
        gFrameCounter++;
    }

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, look.wireframe ? GL_LINE : GL_FILL);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The camera's view transform goes on the projection matrix, so that every object is drawn
    // from an identity model-view matrix and lighting is computed in world coordinates.
    glMatrixMode(GL_PROJECTION);
    setPerspective();
    camera.tellGL();

    glMatrixMode(GL_MODELVIEW);
    if (kUseLighting) {
        glEnable(GL_LIGHTING);
    }
    glEnable(GL_NORMALIZE);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
    glLoadIdentity();
    light1.tellGL();
    light2.tellGL();
    light3.tellGL();
    light4.tellGL();
    drawCast();

    if (look.overlays) {
        drawStatusLine();
    }
    if (getAnimationTime() >= kSceneStarts[kCreditsScene]) {
        ShowCopyright(kCreditsYear, kCreditsRightsOwner, kCreditsArtist, kShowTitle);
    }
    if (look.overlays) {
        for (auto draw : gOverlays) {
            draw();
        }
    }
}

void ResizeWindow(int w, int h) {
    gWindowWidth = toWindowSize(w);
    gWindowHeight = toWindowSize(h);
    glMatrixMode(GL_PROJECTION);
    setPerspective();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, gWindowWidth, gWindowHeight);
    if (gProgramMode == kpmAnimating) {
        AnimateScene();
    }
}

int openShowWindow(const char* title, int samples) {
    gWindowWidth = kWindowWidth;
    gWindowHeight = kWindowHeight;
    glutInitWindowSize(gWindowWidth, gWindowHeight);
    glutInitWindowPosition(100, 100);
    samples = platformChooseDisplayMode(samples);
    glutCreateWindow(title);
    // What the window got, which a lenient match may make fewer than asked.
    GLint got = 1;
    glGetIntegerv(GL_SAMPLES, &got);
    return samples > 1 ? std::max(1, int(got)) : 1;
}
