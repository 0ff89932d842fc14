// The show on a test clock.
#include "helpers/show_runner.h"

#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"

#include <cmath>

void destroyScene() {
    for (object3D* shape : shapeVector) {
        delete shape;
    }
    shapeVector.clear();
    delete[] triangleArray;
    triangleArray = nullptr;
}

void rebuildScene() {
    destroyScene();
    ConstructScene();
    InitScene();
}

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
