// Plays the real show on the controllable clock, the way the frame loop does, without drawing:
// frame n is posed at n / 25 s, so state that scenes leave behind builds up as in the live show.
#pragma once

#include "helpers/fake_clock.h"

// Deletes any earlier cast, builds a new one with ConstructScene and puts it in its opening state.
void rebuildScene();
// Deletes the cast and empties shapeVector.
void destroyScene();
// Places, colours and switches on the four lights as the show's opening does.
void lightLikeTheShow();
// Switches the four lights off again.
void lightsOff();
// Restarts the clock at 0 s in kpmAnimating (as key `a` does, without InitScene).
void startShow(fakeClock& clock);
// Poses every frame from the current show time up to `seconds`, the last one exactly there.
void playTo(fakeClock& clock, float seconds);
