// The pointer through the real GLUT callbacks in a real GL context, on a controllable clock: the
// control strip is drawn in the window only, fades and gives way to t's bar; the strip's buttons
// and a click after the end act; a scrub holds the picture and the sound until the release.
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
#include "player/pointer_input.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
    std::vector<unsigned char> shown(const frameLook& look) {
        renderShowFrame(look);
        return readBackBuffer(gWindowWidth, gWindowHeight).rgb;
    }
    // GLUT's rows count from the top; the layout's from the bottom.
    int row(float fromBottom) const { return gWindowHeight - 1 - int(fromBottom); }
    void click(const pixelBox& box) {
        click(int(box.left + box.right) / 2, row((box.bottom + box.top) / 2));
    }
    void click(int x, int y) {
        pointerButton(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
        pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
        clock.advance(kDoubleClickMs + 100); // the next click is one of its own
    }
    recordingBackend music;
    fakeClock clock;
    const stripLayout layout = layoutStrip(gWindowWidth);
};

} // namespace

TEST_F(PointerInWindow, TheStripIsDrawnOnlyInTheWindowForThreeSecondsThenFades) {
    const auto still = shown(windowLook()), shot = shown(screenshotLook());
    const auto film = shown(movieLook());
    pointerPassiveMotion(360, 300);
    const auto withStrip = shown(windowLook());
    EXPECT_FALSE(withStrip == still);
    // Only the strip's rows differ (rows are bottom-up, three bytes a pixel).
    const size_t stripBytes = size_t(kStripHeight) * size_t(gWindowWidth) * 3;
    EXPECT_TRUE(std::equal(still.begin() + long(stripBytes), still.end(),
                           withStrip.begin() + long(stripBytes)));
    EXPECT_TRUE(shown(screenshotLook()) == shot);
    EXPECT_TRUE(shown(movieLook()) == film);

    clock.advance(kStripShownMs + kStripFadeMs / 2);
    const auto fading = shown(windowLook());
    EXPECT_FALSE(fading == withStrip || fading == still);
    clock.advance(kStripFadeMs / 2);
    EXPECT_TRUE(shown(windowLook()) == still);

    gTextOn = true; // the status line and its bar stand in the strip's place
    const auto withBar = shown(windowLook());
    pointerPassiveMotion(300, 300);
    EXPECT_TRUE(shown(windowLook()) == withBar);
}

TEST_F(PointerInWindow, TheStripsButtonsAndAClickAfterTheEndAct) {
    pointerPassiveMotion(360, 300);
    click(layout.playPause);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(music.log, "play " + soundtrackFile() + ";");
    click(layout.playPause);
    EXPECT_EQ(gProgramMode, kpmPaused);
    click(layout.speed);
    EXPECT_EQ(animationSpeed(), 2);
    const auto before = shown(windowLook());
    click(layout.help);
    EXPECT_FALSE(shown(windowLook()) == before);
    click(layout.help);
    EXPECT_TRUE(shown(windowLook()) == before);

    jumpTo(kShowLength);
    ASSERT_EQ(gProgramMode, kpmFinished);
    click(360, 300);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(getAnimationTime(), 1.0f); // the half second click() waits, at 2x
}

TEST_F(PointerInWindow, AScrubHoldsThePictureUnderTheDragAndPlaysOnFromTheRelease) {
    const int y = row(layout.trackBottom);
    auto msAt = [this](int x) {
        return std::llround(timelineSeconds(layout.timeline, float(x)) * 1000);
    };
    click(360, 300);
    pointerButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 100, y);
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_EQ(animationTimeMilliseconds(), msAt(100));
    // Positions queued between frames: only the last is posed, once the events are taken.
    pointerMotion(300, y);
    pointerMotion(320, y);
    EXPECT_EQ(animationTimeMilliseconds(), msAt(100));
    glutMainLoopEvent();
    EXPECT_EQ(animationTimeMilliseconds(), msAt(320));
    clock.advance(10000); // held still: the picture stays
    EXPECT_EQ(animationTimeMilliseconds(), msAt(320));

    // Released off the timeline near scene 5's mark: its start, and the sound resumes there.
    music.log.clear();
    const int mark = int(timelineX(layout.timeline, kSceneStarts[4]));
    pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, mark + 2, y + 30);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(animationTimeMilliseconds(), std::llround(kSceneStarts[4] * 1000));
    EXPECT_EQ(music.log, "play " + soundtrackFile() + ";seek 86.000;pause;resume;");
}

TEST_F(PointerInWindow, WhileAMovieRendersThePointerDoesNothing) {
    gProgramMode = kpmMakingMovie;
    click(360, 300);
    pointerButton(3, GLUT_DOWN, 300, row(layout.trackBottom));
    EXPECT_EQ(gProgramMode, kpmMakingMovie);
    EXPECT_EQ(music.log, "");
    EXPECT_EQ(pointerState().stripOpacity(pointerNow()), 0);
}
