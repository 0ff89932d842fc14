// The program-wide variables that the frame loop, the keys, the scenes and the objects share.
// They live in a unit of their own so that every reader depends on this header, not on main.
#pragma once

#include "basicsource/constants.h"
#include "support/camera.h"
#include "support/light.h"

#include <cstdint>
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
