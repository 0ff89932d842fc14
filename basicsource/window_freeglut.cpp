// The window's services where the program runs on freeglut (Linux and Windows): the display mode
// with the most samples the display offers, full screen on and off, and what a window has that
// a web page has otherwise (the control strip in the picture, quitting). The browser's GLUT has
// its own (web/platform_web.cpp).
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

void platformToggleFullScreen() { glutFullScreenToggle(); }

bool platformFullScreen() { return glutGet(GLUT_FULL_SCREEN) != 0; }

bool platformShowsControlStrip() { return true; }

bool platformEndsOnQuit() { return true; }
