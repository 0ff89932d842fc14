// Choreography: the cast, its starting state and the timeline of the show.
// The stage is still empty: the cast and the timeline arrive with the scene objects.
#include "basicsource/scene.h"

void ConstructScene() {}
void InitScene() {}
void AnimateScene() {}
