// The buffer swap ends a frame: what the layer still holds is drawn first. Kept apart from the
// other sources because it needs the GLUT header, which brings the window system's GL header.
#include <GL/glut.h>

#include "web/gl/layer.h"

extern "C" void lfglutSwapBuffers(void) {
    lfglFlush();
    glutSwapBuffers();
}
