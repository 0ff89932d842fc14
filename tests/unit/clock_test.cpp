// The animation clock: reset, pause arithmetic, the frozen value after the show, and wraps.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "helpers/fake_clock.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

class AnimationClock : public testing::Test {
  protected:
    void SetUp() override { gProgramMode = kpmAnimating; }
    void TearDown() override { gProgramMode = kpmAtStart; }
    fakeClock clock;
};

} // namespace

TEST_F(AnimationClock, CountsSecondsInMillisecondStepsFromReset) {
    resetAnimationTimer();
    EXPECT_EQ(getAnimationTime(), 0.0f);
    clock.advance(1);
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.001f);
    clock.advance(129999);
    EXPECT_FLOAT_EQ(getAnimationTime(), 130.0f);
}

TEST_F(AnimationClock, APauseLeavesTheTimeWhereItWas) {
    resetAnimationTimer();
    clock.advance(2500);
    pauseAnimationTimer();
    clock.advance(7000);
    // A redraw while paused (the status line, a screenshot) reads the time the picture shows.
    EXPECT_FLOAT_EQ(getAnimationTime(), 2.5f);
    unpauseAnimationTimer();
    EXPECT_FLOAT_EQ(getAnimationTime(), 2.5f);
    clock.advance(500);
    pauseAnimationTimer();
    clock.advance(1000);
    unpauseAnimationTimer();
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.0f);
}

TEST_F(AnimationClock, AResetDiscardsThePausedSpan) {
    resetAnimationTimer();
    pauseAnimationTimer();
    clock.advance(4000);
    unpauseAnimationTimer();
    resetAnimationTimer();
    clock.advance(10);
    EXPECT_FLOAT_EQ(getAnimationTime(), 0.01f);
}

TEST_F(AnimationClock, FrozenOnceTheShowHasFinished) {
    resetAnimationTimer();
    clock.advance(130016);
    float last = getAnimationTime();
    gProgramMode = kpmFinished;
    clock.advance(5000);
    EXPECT_EQ(getAnimationTime(), last);
    pauseAnimationTimer();
    clock.advance(5000);
    EXPECT_EQ(getAnimationTime(), last);
    gProgramMode = kpmAnimating;
    resetAnimationTimer();
    EXPECT_EQ(getAnimationTime(), 0.0f);
}

TEST_F(AnimationClock, SurvivesTheWrapOfTheMillisecondCounter) {
    clock.setNow(INT_MAX - 500);
    resetAnimationTimer();
    clock.advance(1000); // now past the wrap
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
    pauseAnimationTimer();
    clock.advance(250);
    unpauseAnimationTimer();
    EXPECT_FLOAT_EQ(getAnimationTime(), 1.0f);
}

TEST(RealClock, IsMonotonicAndRestoredAfterAFakeOne) {
    int32_t first = platformNow();
    {
        fakeClock fake;
        fake.setNow(first - 100000);
        EXPECT_EQ(platformNow(), first - 100000);
    }
    int32_t second = platformNow();
    EXPECT_GE(second - first, 0);
    EXPECT_LT(second - first, 10000);
}

TEST(ResourceDirectory, IsTheRelativeResourcesFolder) {
    char path[12];
    std::memset(path, 'x', sizeof path);
    getPathToResourceDirectory(path);
    EXPECT_STREQ(path, "./resources");
}
