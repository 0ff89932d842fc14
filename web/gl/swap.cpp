// The buffer swap ends a frame: what the layer still holds is drawn first. Kept apart from the
// other sources because it needs the GLUT header, which brings the window system's GL header.
#include <GL/glut.h>

#include "web/gl/layer.h"

#ifdef __EMSCRIPTEN__
// Emscripten's GLUT header names the font by this symbol's address but its library has no
// bitmap fonts; the layer draws the font itself, so the handle only has to exist.
void* glutBitmap8By13 = nullptr;
#endif

namespace {
unsigned gFramesPresented = 0;
} // namespace

extern "C" void lfglutSwapBuffers(void) {
    lfglFlush();
    glutSwapBuffers();
    ++gFramesPresented;
}

extern "C" unsigned lfglFramesPresented(void) { return gFramesPresented; }
