// The application shell: start-up and the keyboard. It opens the window, builds the cast and
// hands every key to the unit that owns it; the frame, playback, player and movie units never
// call back into it.
#pragma once

#include "basicsource/program_state.h"

// GLUT keyboard callbacks: the show's keys here, the player's passed on to it.
void KeyPress(unsigned char key, int x, int y);
void SpecialKeyPress(int key, int x, int y);
// The show's GLUT callbacks (display, keys, pointer, reshape, close); again after the movie has
// had the window to itself.
void installShowCallbacks();

// Opens the window, builds the scene and runs the GLUT main loop; returns only if the loop does.
// What key m runs is the movie hook (platform.h), installed by the program's main() before.
int lumenfoldMain(int argc, char** argv);
