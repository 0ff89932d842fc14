// The controllable clock behind fakeClock.
#include "helpers/fake_clock.h"

#include "basicsource/platform.h"

#include <cmath>

namespace {
// Starts far from zero so that nothing can pass by relying on an origin of 0.
int32_t gNow = 123456;
int32_t readFakeNow() { return gNow; }
} // namespace

fakeClock::fakeClock() { setClockSource(readFakeNow); }
fakeClock::~fakeClock() { setClockSource(nullptr); }
// Wraps like the real 32-bit millisecond counter does.
void fakeClock::advance(int32_t milliseconds) {
    gNow = int32_t(uint32_t(gNow) + uint32_t(milliseconds));
}
void fakeClock::setNow(int32_t milliseconds) { gNow = milliseconds; }
int32_t fakeClock::now() const { return gNow; }

void fakeClock::startShowAt(float seconds) {
    resetAnimationTimer();
    advance(int32_t(std::lround(double(seconds) * 1000.0)));
}
