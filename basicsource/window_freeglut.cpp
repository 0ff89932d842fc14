// The window's services where the program runs on freeglut (Linux and Windows): the display mode
// with the most samples the display offers, and full screen on and off, back to the window's
// earlier size and place. The browser's GLUT has its own (web/platform_web.cpp).
#include "basicsource/platform.h"

#include <GL/freeglut.h>

#include <cstdio>

int platformChooseDisplayMode(int samples) {
    // The most samples up to those asked for that the display offers; none when it offers none.
    for (; samples > 1; samples /= 2) {
        char mode[64];
        std::snprintf(mode, sizeof mode, "double rgb depth>=16 samples>=%d", samples);
        glutInitDisplayString(mode);
        if (glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
            return samples;
        }
    }
    glutInitDisplayString("double rgb depth>=16");
    return 1;
}

namespace {

// The window's place before full screen, for the way back.
struct windowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool framed = false; // the window manager (or Windows) draws a frame around it
};
windowPlace gWindowed;

windowPlace currentPlace() {
    windowPlace place;
    place.x = glutGet(GLUT_WINDOW_X);
    place.y = glutGet(GLUT_WINDOW_Y);
    place.width = glutGet(GLUT_WINDOW_WIDTH);
    place.height = glutGet(GLUT_WINDOW_HEIGHT);
    place.framed = glutGet(GLUT_WINDOW_BORDER_WIDTH) > 0 || glutGet(GLUT_WINDOW_HEADER_HEIGHT) > 0;
    return place;
}

} // namespace

// A framed window is placed by whoever framed it (the window manager's full-screen state, or
// freeglut on Windows). GLUT's own way on an X server without a window manager covers the
// screen from minus the window's place and gives back only the size; without a frame the
// window's corner is its picture's, so both places can be given exactly. (With a frame, GLUT
// would place the frame there: a window would creep at every toggle.)
void platformToggleFullScreen() {
    if (!platformFullScreen()) {
        gWindowed = currentPlace();
        if (!gWindowed.framed) {
            // Carried out after the full screen's own move, and in place of a size GLUT may
            // still owe the last way back.
            glutPositionWindow(0, 0);
            glutReshapeWindow(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
        }
        glutFullScreen();
        return;
    }
    glutLeaveFullScreen();
    if (!gWindowed.framed && gWindowed.width > 0) {
        glutPositionWindow(gWindowed.x, gWindowed.y);
        glutReshapeWindow(gWindowed.width, gWindowed.height);
    }
}

bool platformFullScreen() { return glutGet(GLUT_FULL_SCREEN) != 0; }
