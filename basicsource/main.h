// The application shell: the program-wide variables, the GLUT callbacks and the start-up that
// the tiny main() in lumenfold.cpp hands over to.
#pragma once

#include "basicsource/constants.h"
#include "support/camera.h"
#include "support/light.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern ProgramMode gProgramMode;
extern long gFrameCounter;
extern uint32_t gPolygonCount;
extern short gWindowWidth;
extern short gWindowHeight;
extern bool gWireFrameOnly;
extern bool gTextOn;
extern int sounds;
extern std::vector<object3D*> shapeVector;
extern light light1;
extern light light2;
extern light light3;
extern light light4;
extern cameraClass camera;

// The soundtrack's name in the resource folder's usual place, and where it is found now.
extern const char* const kSoundtrackFile;
std::string soundtrackFile();

void NextFrame();
void ViewScene();
// Everything ViewScene draws, left in the back buffer without the swap (for reading it back).
void renderFrame();
// The same, with or without the overlays (status line, frame rate, timeline, help, notices);
// the credits belong to the show and are always drawn.
void renderShowFrame(bool overlays);
void ResizeWindow(int w, int h);
void KeyPress(unsigned char key, int x, int y);
void SpecialKeyPress(int key, int x, int y);

// The status line: frame counter, polygons of the last frame and the animation time.
void formatStatusLine(char* out, size_t size);

// Whether NextFrame is installed as the idle callback.
bool idleCallbackInstalled();
// Every change of the idle callback goes through here, so the program knows whether it runs.
void setIdle(void (*callback)());

// The width-to-height ratio of the window; a zero height (a minimised window) counts as 1.
float windowAspectRatio();

// Opens the 720 x 576 double-buffered window with a depth buffer at (100, 100), after glutInit,
// multisampled with up to `samples` samples where the display offers them; returns how many.
int openShowWindow(const char* title, int samples = 1);

struct launchOptions;
// Speed, full screen and the start time asked for on the command line, once the show is built.
void applyLaunchOptions(const launchOptions& options);

// Opens the window, builds the scene and runs the GLUT main loop; returns only if the loop does.
int lumenfoldMain(int argc, char** argv);
