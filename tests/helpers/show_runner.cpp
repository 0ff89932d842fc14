// The show on a test clock.
#include "helpers/show_runner.h"

#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"

#include <cmath>

void destroyScene() { destroyCast(); }

void rebuildScene() { rebuildCast(); }

void startShow(fakeClock& clock) {
    clock.startShowAt(0);
    gProgramMode = kpmAnimating;
}

void playTo(fakeClock& clock, float seconds) {
    int32_t target = int32_t(std::lround(double(seconds) * 1000));
    int32_t now = int32_t(std::lround(double(getAnimationTime()) * 1000));
    for (int32_t next = (now / 40 + 1) * 40; next < target; next += 40) {
        clock.advance(next - now);
        now = next;
        AnimateScene();
    }
    clock.advance(target - now);
    AnimateScene();
}

void lightLikeTheShow() {
    light* lights[4] = {&light1, &light2, &light3, &light4};
    const float where[4][3] = {{-10, 3, 10}, {-10, 3, -5}, {-10, 0.5f, 10}, {-10, 0.5f, -5}};
    for (int i = 0; i < 4; ++i) {
        lights[i]->turnOn();
        lights[i]->setLocation(where[i][0], where[i][1], where[i][2]);
        lights[i]->setColour(0.7f, 0.7f, 0.7f, 1.0f);
        lights[i]->setSpecularColour(0.2f, 0.2f, 0.2f, i < 2 ? 0.2f : 1.0f);
    }
}

void lightsOff() {
    for (light* l : {&light1, &light2, &light3, &light4}) {
        l->turnOff();
    }
}
