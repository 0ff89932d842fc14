// The program-wide variables, defined in one place. Construction order matters: shapeVector,
// then the four lights, then the camera, all before main.
#include "basicsource/program_state.h"

ProgramMode gProgramMode = kpmAtStart;
long gFrameCounter = 0;
uint32_t gPolygonCount = 0;
short gWindowWidth = 0;
short gWindowHeight = 0;
bool gWireFrameOnly = false;
bool gTextOn = false;
int sounds = 1;
std::vector<object3D*> shapeVector;
// OpenGL lights 1 to 4 (GL_LIGHT0 is not used).
light light1(1);
light light2(2);
light light3(3);
light light4(4);
cameraClass camera;
