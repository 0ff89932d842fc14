// The pointer entry: GLUT's mouse callbacks, which the shell registers beside the keyboard
// (glutMouseFunc, glutMotionFunc, glutPassiveMotionFunc). The wheel comes as buttons 3 (up) and 4
// (down), as both the desktop's and the browser's GLUT deliver it. Each event goes to the
// pointer's logic with a reading of the platform's real-time clock, and its rules act through
// playback; the control strip draws what the logic holds.
#pragma once

#include "player/pointer.h"

#include <cstdint>

void pointerButton(int button, int state, int x, int y);
void pointerMotion(int x, int y);
void pointerPassiveMotion(int x, int y);

// The pointer's state for the strip, and the real-time clock's reading it is judged at.
const pointerTracker& pointerState();
int32_t pointerNow();
// Back to the state before the pointer ever moved: nothing held, the strip gone until the pointer
// moves. A movie does it as it begins: a press made before it ends with it, its release never
// scrubs or resumes anything.
void forgetPointer();
// Hides or shows the cursor as the pointer's idleness and full screen say, and keeps a timer
// running while the strip has still to fade; called with every frame drawn.
void keepPointerInStep();
