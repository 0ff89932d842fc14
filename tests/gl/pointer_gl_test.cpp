// The pointer through the real GLUT callbacks in a real GL context, on a controllable clock: the
// control strip is drawn in the window only, fades and gives way to t's bar; the strip's buttons
// and a click after the end act; a scrub holds the picture and the sound until the release; a
// movie ends a press; f and F11 come back from full screen to the window's place; and the
// opening screen's strip reads 0:00 however long it is up.
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
#include <chrono>
#include <cmath>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

bool gReleaseDuringMovie = false;
// A movie's render takes the window's events while it runs: here, the press's release (or not)
// and movement.
bool renderMovieTakingEvents() {
    if (gReleaseDuringMovie) {
        pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, 300, 300);
    }
    pointerMotion(320, 300);
    return true;
}

struct windowPlace {
    int x, y, width, height;
    bool operator==(const windowPlace& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};
std::ostream& operator<<(std::ostream& out, const windowPlace& place) {
    return out << place.width << "x" << place.height << "+" << place.x << "+" << place.y;
}
windowPlace placeNow() {
    return {glutGet(GLUT_WINDOW_X), glutGet(GLUT_WINDOW_Y), glutGet(GLUT_WINDOW_WIDTH),
            glutGet(GLUT_WINDOW_HEIGHT)};
}
// The X server carries out what the window asked for in its own time: bounded, generously.
bool windowBecomes(const windowPlace& place) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (std::chrono::steady_clock::now() < deadline) {
        glutMainLoopEvent();
        if (placeNow() == place) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A key through the shell's callbacks: a character, or GLUT's code of a special key negated.
void press(int key) {
    if (key < 0) {
        SpecialKeyPress(-key, 0, 0);
    } else {
        KeyPress(static_cast<unsigned char>(key), 0, 0);
    }
}

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
        setMovieHook(nullptr);
        resetAnimationTimer();
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

TEST_F(PointerInWindow, AMovieEndsAPressBegunBeforeItAndTakesTheEventsDuringIt) {
    const int y = row(layout.trackBottom);
    setMovieHook(renderMovieTakingEvents);
    for (bool releasedDuringTheMovie : {true, false}) {
        click(360, 300); // the show plays (again, after the last movie)
        ASSERT_EQ(gProgramMode, kpmAnimating);
        pointerButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, y); // a scrub holds the show at x 200
        ASSERT_EQ(gProgramMode, kpmPaused);
        gReleaseDuringMovie = releasedDuringTheMovie;
        KeyPress('m', 0, 0);
        ASSERT_EQ(gProgramMode, kpmFinished);
        const float end = getAnimationTime();
        music.log.clear();
        EXPECT_EQ(pointerState().stripOpacity(pointerNow()), 0); // gone with the press
        EXPECT_TRUE(pointerState().cursorHidden(pointerNow(), true));
        // Plain movement afterwards, and the press's release: no scrub, no resume.
        pointerMotion(400, y);
        glutMainLoopEvent();
        pointerButton(GLUT_LEFT_BUTTON, GLUT_UP, 450, y);
        glutMainLoopEvent();
        EXPECT_EQ(gProgramMode, kpmFinished);
        EXPECT_EQ(getAnimationTime(), end);
        EXPECT_EQ(music.log, "");
        EXPECT_EQ(pointerState().stripOpacity(pointerNow()), 1); // the movement shows the strip
    }
}

// The strip's button and the double click ask for the same toggle (the rules' tests).
TEST_F(PointerInWindow, FAndF11ToggleFullScreenBackToTheWindowsSizeAndPlace) {
    const windowPlace windowed = placeNow();
    const windowPlace screen = {0, 0, glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT)};
    ASSERT_NE(windowed.width, screen.width);
    for (int key : {int('f'), -GLUT_KEY_F11}) {
        for (bool full : {true, false}) {
            press(key);
            EXPECT_TRUE(windowBecomes(full ? screen : windowed)) << key << ": " << placeNow();
            EXPECT_EQ(platformFullScreen(), full) << "key " << key;
        }
    }
}

TEST_F(PointerInWindow, TheOpeningScreenReadsZeroHoweverLongItIsUp) {
    showOpeningScreen();
    pointerPassiveMotion(360, 300);
    const auto opening = shown(windowLook());
    // Past the show's end, the credits' start among it; p does nothing here.
    clock.advance(int32_t(kShowLength * 1000) + 60000);
    KeyPress('p', 0, 0);
    EXPECT_EQ(gProgramMode, kpmAtStart);
    pointerPassiveMotion(361, 300);
    EXPECT_TRUE(shown(windowLook()) == opening); // 0:00, the bar empty, no credits line
    char status[96];
    formatStatusLine(status, sizeof status);
    EXPECT_NE(std::string(status).find("Time: 0.0"), std::string::npos) << status;
    // Keys that go from the time shown go from 0 s, and land paused.
    const std::pair<int, int64_t> moves[] = {
        {'.', 40}, {'>', 5000}, {-GLUT_KEY_PAGE_DOWN, std::llround(kSceneStarts[1] * 1000)}};
    for (const auto& [key, landsAt] : moves) {
        showOpeningScreen();
        clock.advance(70000);
        press(key);
        EXPECT_EQ(animationTimeMilliseconds(), landsAt) << "key " << key;
        EXPECT_EQ(gProgramMode, kpmPaused) << "key " << key;
    }
}
