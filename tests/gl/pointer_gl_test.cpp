// The pointer through the real GLUT callbacks in a real GL context, on a controllable clock: the
// control strip is drawn in the window and never in a screenshot, fades, gives way to t's bar;
// clicks start, pause and resume with the soundtrack; scrubs and the wheel move the show.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "common/picture.h"
#include "helpers/fake_clock.h"
#include "helpers/recording_audio.h"
#include "helpers/show_runner.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/pointer.h"
#include "player/pointer_input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace {

class PointerInWindow : public testing::Test {
  protected:
    void SetUp() override {
        rebuildScene();
        setAudioBackend(&music);
        gProgramMode = kpmAtStart;
        resetAnimationTimer();
        installShowCallbacks(); // the shell's, pointer included, as the program has them
        installPlayerOverlays();
        forgetPointer();
        glViewport(0, 0, gWindowWidth, gWindowHeight);
    }
    void TearDown() override {
        forgetPointer();
        setPlaybackSpeed(1);
        destroyScene();
        setAudioBackend(nullptr);
        gProgramMode = kpmAtStart;
        gTextOn = false;
    }
    picture shown(const frameLook& look) {
        renderShowFrame(look);
        return readBackBuffer(gWindowWidth, gWindowHeight);
    }
    // GLUT's rows count from the top.
    int rowFromTop(float fromBottom) const { return gWindowHeight - 1 - int(fromBottom); }
    int timelineRow() const { return rowFromTop(40); }
    int xAt(double seconds) const {
        return int(timelineX(timelineSpanFor(gWindowWidth), seconds) + 0.5f);
    }
    void click(int x, int y) {
        pointerButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
        pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
        clock.advance(kDoubleClickMs + 100); // the next click is a click of its own
    }
    void wheel(int button, int x, int y) {
        pointerButton(button, GLUT_DOWN, x, y);
        pointerButton(button, GLUT_UP, x, y); // the desktop's GLUT reports this too
    }
    // Rows (from the bottom) where two pictures differ: the lowest and highest, -1 for none.
    static std::pair<int, int> differingRows(const picture& a, const picture& b) {
        int low = -1, high = -1;
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                if (std::memcmp(a.at(x, y), b.at(x, y), 3) != 0) {
                    low = low < 0 ? y : low;
                    high = y;
                    break;
                }
            }
        }
        return {low, high};
    }
    recordingBackend music;
    fakeClock clock;
};

} // namespace

TEST_F(PointerInWindow, TheStripShowsOnMovementOnlyInTheWindowAndFadesAfterThreeSeconds) {
    const picture still = shown(windowLook());
    const picture shot = shown(screenshotLook()), film = shown(movieLook());

    pointerPassiveMotion(360, 300);
    const picture withStrip = shown(windowLook());
    const std::pair<int, int> rows = differingRows(still, withStrip);
    EXPECT_GE(rows.first, 0);
    EXPECT_LT(rows.second, kStripHeight); // within the strip's rows
    EXPECT_TRUE(shown(screenshotLook()).rgb == shot.rgb);
    EXPECT_TRUE(shown(movieLook()).rgb == film.rgb);

    clock.advance(kStripShownMs + kStripFadeMs / 2);
    const picture fading = shown(windowLook());
    EXPECT_FALSE(fading.rgb == withStrip.rgb);
    EXPECT_FALSE(fading.rgb == still.rgb);
    clock.advance(kStripFadeMs / 2);
    EXPECT_TRUE(shown(windowLook()).rgb == still.rgb);

    // With t on the status line and its bar stand in the strip's place.
    gTextOn = true;
    const picture withBar = shown(windowLook());
    pointerPassiveMotion(300, 300);
    EXPECT_TRUE(shown(windowLook()).rgb == withBar.rgb);
}

TEST_F(PointerInWindow, ClicksStartThenPauseAndResumeWithTheSoundtrack) {
    const std::string track = "play " + soundtrackFile() + ";";
    click(360, 300);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_TRUE(idleCallbackInstalled());
    EXPECT_EQ(music.log, track);
    clock.advance(2000);
    click(360, 300);
    EXPECT_EQ(gProgramMode, kpmPaused);
    click(360, 300);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(music.log, track + "pause;resume;");

    // The strip's buttons: play/pause, speed and help.
    const stripLayout layout = layoutStrip(gWindowWidth);
    auto middleOf = [this](const pixelBox& box) {
        return std::make_pair(int((box.left + box.right) / 2),
                              rowFromTop((box.bottom + box.top) / 2));
    };
    const auto play = middleOf(layout.playPause), speed = middleOf(layout.speed);
    click(play.first, play.second);
    EXPECT_EQ(gProgramMode, kpmPaused);
    click(speed.first, speed.second);
    EXPECT_EQ(animationSpeed(), 2);
    const picture before = shown(windowLook());
    const auto help = middleOf(layout.help);
    click(help.first, help.second);
    EXPECT_FALSE(shown(windowLook()).rgb == before.rgb);
    click(help.first, help.second);
    EXPECT_TRUE(shown(windowLook()).rgb == before.rgb);

    // Once the show has ended a click starts it again.
    jumpTo(kShowLength);
    ASSERT_EQ(gProgramMode, kpmFinished);
    click(360, 300);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(getAnimationTime(), 1.0f); // the half second click() waits, at 2x
}

TEST_F(PointerInWindow, AScrubHoldsThePictureUnderTheDragAndPlaysOnFromTheRelease) {
    click(360, 300);
    clock.advance(4000);
    const int row = timelineRow();
    pointerPassiveMotion(xAt(20), row);
    pointerButton(GLUT_LEFT_BUTTON, GLUT_DOWN, xAt(20), row);
    EXPECT_EQ(gProgramMode, kpmPaused);
    const double first = timelineSeconds(timelineSpanFor(gWindowWidth), float(xAt(20)));
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(first * 1000));
    // Positions queued between frames: only the last is posed, once the events are taken.
    pointerMotion(xAt(60), row);
    pointerMotion(xAt(70), row);
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(first * 1000));
    glutMainLoopEvent();
    const double dragged = timelineSeconds(timelineSpanFor(gWindowWidth), float(xAt(70)));
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(dragged * 1000));
    clock.advance(10000); // held still: the picture stays
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(dragged * 1000));

    music.log.clear();
    pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, xAt(kSceneStarts[4]) + 2, row + 30);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(kSceneStarts[4] * 1000));
    // The sound is moved to the release's moment, held, and resumed from there.
    char seek[32];
    std::snprintf(seek, sizeof seek, "seek %.3f;", kSceneStarts[4]);
    EXPECT_EQ(music.log, "play " + soundtrackFile() + ";" + seek + "pause;resume;");
    clock.advance(1000);
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(kSceneStarts[4] * 1000) + 1000);
}

TEST_F(PointerInWindow, TheWheelStepsFiveSecondsOverTheTimelineAndNothingElsewhere) {
    jumpTo(50);
    const int row = timelineRow();
    pointerPassiveMotion(300, row);
    wheel(3, 300, row);
    EXPECT_EQ(animationTimeMilliseconds(), 55000);
    wheel(4, 300, row);
    wheel(4, 300, row);
    EXPECT_EQ(animationTimeMilliseconds(), 45000);
    wheel(3, 300, 200);
    wheel(4, 360, rowFromTop(10));
    EXPECT_EQ(animationTimeMilliseconds(), 45000);
    EXPECT_EQ(gProgramMode, kpmPaused);
}

TEST_F(PointerInWindow, WhileAMovieRendersThePointerDoesNothing) {
    gProgramMode = kpmMakingMovie;
    click(360, 300);
    pointerPassiveMotion(300, timelineRow());
    wheel(3, 300, timelineRow());
    EXPECT_EQ(gProgramMode, kpmMakingMovie);
    EXPECT_EQ(music.log, "");
    EXPECT_EQ(pointerState().stripOpacity(pointerNow()), 0);
}
