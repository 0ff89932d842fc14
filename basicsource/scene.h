// Choreography: building the cast once, putting camera and lights into the opening state, and
// posing everything for the current show time.
#pragma once

#include "objects/hexdome.h"
#include "support/object3d.h"

#include <cstdint>

// Scene handles: every object is created once by ConstructScene and lives until the process ends.
extern object3D** triangleArray; // six blocks that close into a hexagon
extern object3D* triangleTranslucent;
extern object3D* spaceTriangle;
extern object3D* ground;
extern hexdome* dome1;
extern hexdome* dome2;
extern hexdome* dome3;
extern hexdome* dome5;

void ConstructScene();
void InitScene();
void AnimateScene();

// Deletes the cast and empties shapeVector.
void destroyCast();
// Deletes the cast, builds it anew and puts it in its opening state.
void rebuildCast();
// Poses a fresh cast exactly as the show has it at `showMilliseconds` (clamped to the show):
// every earlier frame at 25 frames a second is posed, as the show and the movie pose them, then
// the moment itself. Leaves the animation clock paused at that time; a pose at the end leaves
// the program mode kpmFinished, any other kpmAnimating (the mode the scenes are posed in).
void poseShowAt(int64_t showMilliseconds);

// Each scene poses the cast for the show time t (seconds).
void Scene1(float t1);
void Scene2(float t2);
void Scene3(float t3);
void Scene4(float t4);
void Scene5(float t5);

// When each part of the show starts, in seconds: scenes 1 to 5, then the credits; and its end.
const int kSceneCount = 6;
const int kCreditsScene = 5;
const double kSceneStarts[kSceneCount] = {0, 15, 37, 50, 86, 120};
const float kShowLength = 130.0f;
const int64_t kShowLengthMilliseconds = int64_t(kShowLength) * 1000;
// The frame rate the show is posed at for exact moments (the movie's and show_frames').
const int kPoseFramesPerSecond = 25;
