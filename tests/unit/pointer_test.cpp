// The pointer's logic without GL or GLUT, on clock readings the test chooses: where the strip's
// parts are, timeline position <-> time, clicks, double clicks, drags, scrubs, the wheel, the
// strip's fading with the idle cursor over any idle span, and what it all does to a player.
#include "basicsource/scene.h"
#include "player/pointer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

float midX(const pixelBox& box) {
    return (box.left + box.right) / 2;
}
float midY(const pixelBox& box) {
    return (box.bottom + box.top) / 2;
}

// A pointer over a 720-pixel window that has just moved, so the strip shows.
class Pointer : public testing::Test {
  protected:
    void SetUp() override {
        pointer.setWindow(720, false);
        pointer.move(360, 300, now);
    }
    pointerCommand click(float x, float y) {
        pointer.press(x, y, now);
        now += 60;
        return pointer.release(x, y, now);
    }
    pointerTracker pointer;
    int32_t now = 100000;
    const float timelineY = midY(layoutStrip(720).timelineZone);
};

} // namespace

TEST(Timeline, EveryPixelIsAFrameOfTheShowOrTheSceneStartItIsNear) {
    const timelineSpan span = timelineSpanFor(720);
    EXPECT_EQ(timelineX(span, kShowLength), 710);
    EXPECT_EQ(timelineSeconds(span, -50), 0);
    EXPECT_EQ(timelineSeconds(span, 900), kShowLength);
    for (float x = 10; x <= 710; x += 1) {
        const double seconds = timelineSeconds(span, x), frames = seconds * kPoseFramesPerSecond;
        EXPECT_NEAR(frames, std::round(frames), 1e-9) << "at x " << x;
        bool nearMark = false;
        for (double start : kSceneStarts) {
            nearMark = nearMark || std::fabs(x - timelineX(span, start)) <= kMarkReach;
        }
        EXPECT_NEAR(timelineX(span, seconds), x, nearMark ? kMarkReach : 1.0f) << "at x " << x;
    }
    for (double start : kSceneStarts) {
        const float mark = timelineX(span, start);
        EXPECT_EQ(timelineSeconds(span, mark - kMarkReach + 0.5f), start);
        EXPECT_EQ(timelineSeconds(span, mark + kMarkReach - 0.5f), start);
    }
    EXPECT_EQ(timelineSeconds(timelineSpanFor(15), 12), 0); // too narrow: no division by zero
}

TEST(StripLayout, EveryPartIsFoundWhereItIsDrawnAndTheTextIsLeftFree) {
    for (int width : {320, 720, 1920}) {
        const stripLayout layout = layoutStrip(width);
        const std::pair<pixelBox, stripPart> buttons[] = {
            {layout.playPause, stripPart::playPause},
            {layout.speed, stripPart::speed},
            {layout.fullScreen, stripPart::fullScreen},
            {layout.help, stripPart::help}};
        for (const auto& [box, part] : buttons) {
            EXPECT_EQ(stripPartAt(layout, false, midX(box), midY(box)), part);
            EXPECT_EQ(stripPartAt(layout, false, box.left, box.bottom), part);
            EXPECT_NE(stripPartAt(layout, false, box.right, midY(box)), part);
            // Clear of the time's text ("1:24 / 2:10") and of the timeline's handle.
            EXPECT_TRUE(part == stripPart::playPause ? box.right <= layout.timeTextX
                                                     : box.left >= layout.timeTextX + 11 * 8);
            EXPECT_LE(box.top, layout.trackBottom - 6);
        }
        EXPECT_EQ(stripPartAt(layout, false, 4, layout.trackTop), stripPart::timeline);
        EXPECT_EQ(stripPartAt(layout, false, width / 2.0f, 1), stripPart::background);
        EXPECT_EQ(stripPartAt(layout, false, width / 2.0f, kStripHeight), stripPart::none);
        // With t on only the bar along the bottom edge is there.
        const stripLayout bar = layoutBarOnly(width);
        EXPECT_EQ(stripPartAt(bar, true, width / 2.0f, 2), stripPart::timeline);
        EXPECT_EQ(stripPartAt(bar, true, width / 2.0f, 12), stripPart::none);
        EXPECT_EQ(stripPartAt(bar, true, midX(layout.help), midY(layout.help)), stripPart::none);
    }
    EXPECT_EQ(stripTimeText(84.7, 130), "1:24 / 2:10");
    EXPECT_EQ(speedText(0.25), "0.25x");
    EXPECT_EQ(nextSpeedAround(4), 0.25); // the speed button goes round
}

TEST_F(Pointer, ClicksActAtOnceAndASecondSoonAndNearIsADoubleClick) {
    EXPECT_EQ(click(300, 300).what, pointerCommand::clickPicture);
    now += 200;
    EXPECT_EQ(click(303, 302).what, pointerCommand::doubleClickPicture);
    now += 100;
    EXPECT_EQ(click(303, 302).what, pointerCommand::clickPicture); // a third starts afresh
    now += kDoubleClickMs + 1;
    EXPECT_EQ(click(303, 302).what, pointerCommand::clickPicture); // too late
    now += 100;
    EXPECT_EQ(click(303 + kDoubleClickReach + 2, 302).what, pointerCommand::clickPicture); // far
    // A button in between: no double click after it; a button acts only released on itself.
    const pixelBox help = layoutStrip(720).help;
    EXPECT_EQ(click(midX(help), midY(help)).part, stripPart::help);
    EXPECT_EQ(click(313, 302).what, pointerCommand::clickPicture);
    pointer.press(midX(help), midY(help), now);
    EXPECT_EQ(pointer.release(midX(help), 200, now).what, pointerCommand::none);
    EXPECT_EQ(click(360, 1).what, pointerCommand::none); // the strip between its buttons
    // A drag on the picture, or a release whose press went elsewhere, is no click.
    pointer.press(300, 300, now);
    pointer.move(300 + kClickSlop + 1, 300, now);
    EXPECT_EQ(pointer.release(300, 300, now).what, pointerCommand::none);
    EXPECT_EQ(pointer.release(300, 300, now).what, pointerCommand::none);
}

TEST_F(Pointer, AScrubFollowsFramesKeepsTheStripAndEndsWhereReleased) {
    const timelineSpan span = timelineSpanFor(720);
    pointerCommand start = pointer.press(200, timelineY, now);
    EXPECT_EQ(start.what, pointerCommand::scrubStart);
    EXPECT_EQ(start.seconds, timelineSeconds(span, 200));
    EXPECT_EQ(pointer.move(200, timelineY + 1, now).what, pointerCommand::none); // same frame
    pointerCommand moved = pointer.move(260, timelineY + 30, now); // off the timeline, still on
    EXPECT_EQ(moved.what, pointerCommand::scrubMove);
    EXPECT_EQ(moved.seconds, timelineSeconds(span, 260));
    now += 10 * kStripShownMs; // held still: the strip and the cursor stay
    EXPECT_EQ(pointer.stripOpacity(now), 1);
    EXPECT_FALSE(pointer.cursorHidden(now, true));
    pointerCommand end = pointer.release(400, timelineY, now);
    EXPECT_EQ(end.what, pointerCommand::scrubEnd);
    EXPECT_EQ(end.seconds, timelineSeconds(span, 400));
    EXPECT_EQ(pointer.move(500, timelineY, now).what, pointerCommand::none); // released: no scrub
}

TEST_F(Pointer, TheWheelStepsOverTheShownTimelineOnly) {
    EXPECT_EQ(pointer.wheel(1, 300, timelineY, now).seconds, kWheelStepSeconds);
    EXPECT_EQ(pointer.wheel(-1, 300, timelineY, now).seconds, -kWheelStepSeconds);
    EXPECT_EQ(pointer.wheel(1, 300, 300, now).what, pointerCommand::none);
    // Once the strip has gone its place is the picture, for the wheel and for clicks.
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(pointer.wheel(1, 300, timelineY, now).what, pointerCommand::none);
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(click(300, timelineY).what, pointerCommand::clickPicture);
    // With t on the bar is always there.
    pointer.setWindow(720, true);
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(pointer.wheel(-1, 300, 3, now).what, pointerCommand::wheelStep);
}

TEST(PointerFading, TheStripShowsThreeSecondsAfterMovementThenFadesAndTheCursorHides) {
    for (int32_t start : {0, INT32_MAX - 1000}) { // also across the clock's wrap
        pointerTracker pointer;
        EXPECT_EQ(pointer.stripOpacity(start), 0);
        EXPECT_TRUE(pointer.cursorHidden(start, true)); // in full screen before any movement
        EXPECT_FALSE(pointer.cursorHidden(start, false));
        pointer.move(10, 10, start);
        auto at = [start](int32_t ms) { return int32_t(uint32_t(start) + uint32_t(ms)); };
        EXPECT_EQ(pointer.stripOpacity(at(kStripShownMs - 1)), 1);
        EXPECT_EQ(pointer.nextChangeIn(at(1000)), kStripShownMs - 1000);
        EXPECT_FLOAT_EQ(pointer.stripOpacity(at(kStripShownMs + kStripFadeMs / 2)), 0.5f);
        EXPECT_FALSE(pointer.cursorHidden(at(kStripShownMs + kStripFadeMs / 2), true));
        EXPECT_EQ(pointer.nextChangeIn(at(kStripShownMs + kStripFadeMs - 10)), 10);
        EXPECT_EQ(pointer.stripOpacity(at(kStripShownMs + kStripFadeMs)), 0);
        EXPECT_LT(pointer.nextChangeIn(at(kStripShownMs + kStripFadeMs)), 0);
        EXPECT_TRUE(pointer.cursorHidden(at(kStripShownMs + kStripFadeMs), true));
        pointer.move(11, 10, at(9000));
        EXPECT_EQ(pointer.stripOpacity(at(9000)), 1);
    }
}

TEST(PointerGesture, ATapMeansWhatWasVisibleWhenItsGestureBegan) {
    // A touch screen: no movement before the press, the strip hidden. The first tap brings the
    // strip up; the second, on what is now the timeline or a button, is still a double tap.
    const stripLayout layout = layoutStrip(720);
    const float timelineY = (layout.timelineZone.bottom + layout.timelineZone.top) / 2;
    const float helpX = (layout.help.left + layout.help.right) / 2;
    for (float x : {300.0f, helpX}) {
        pointerTracker pointer;
        pointer.setWindow(720, false);
        int32_t now = 5000;
        auto tap = [&](float at, float y) {
            const pointerCommand pressed = pointer.press(at, y, now);
            now += 50;
            const pointerCommand released = pointer.release(at, y, now);
            now += 100;
            return std::make_pair(pressed.what, released);
        };
        const float y = x == helpX ? 10 : timelineY;
        auto [firstPress, first] = tap(x, y);
        EXPECT_EQ(firstPress, pointerCommand::none);
        EXPECT_EQ(first.what, pointerCommand::clickPicture);
        EXPECT_EQ(pointer.stripOpacity(now), 1); // the tap brought the strip up
        auto [secondPress, second] = tap(x + 2, y);
        EXPECT_EQ(secondPress, pointerCommand::none) << "at x " << x;
        EXPECT_EQ(second.what, pointerCommand::doubleClickPicture) << "at x " << x;
        // A new gesture takes the strip as it is now.
        now += kDoubleClickMs;
        const pointerCommand third = x == helpX ? tap(x, y).second : pointer.press(x, y, now);
        EXPECT_EQ(third.what, x == helpX ? pointerCommand::pressPart : pointerCommand::scrubStart);
    }
}

TEST(PointerFading, NoIdleSpanBringsTheStripOrADoubleClickBack) {
    const uint32_t gone = kStripShownMs + kStripFadeMs;
    for (int32_t start : {0, INT32_MAX - 1000, INT32_MIN, -7}) {
        auto at = [start](uint32_t ms) { return int32_t(uint32_t(start) + ms); };
        const float timelineY = 40;
        // Readings alone, up to a whole turn of the clock.
        for (uint32_t idle : {gone, 0x7fffffffu, 0x80000000u, 0xc0000000u, 0xffffffffu}) {
            pointerTracker pointer;
            pointer.setWindow(720, false);
            pointer.press(300, 300, start);
            pointer.release(300, 300, start);
            EXPECT_EQ(pointer.stripOpacity(at(idle)), 0) << "idle " << idle;
            EXPECT_LT(pointer.nextChangeIn(at(idle)), 0) << "idle " << idle;
            EXPECT_EQ(pointer.wheel(1, 300, timelineY, at(idle)).what, pointerCommand::none);
            EXPECT_EQ(pointer.press(300, 300, at(idle)).what, pointerCommand::none);
            EXPECT_EQ(pointer.release(300, 300, at(idle)).what, pointerCommand::clickPicture)
                << "idle " << idle; // not the second of a double click
        }
        // Beyond a whole turn the readings repeat: what ran out was settled when it did.
        pointerTracker pointer;
        pointer.setWindow(720, false);
        pointer.press(300, 300, start);
        pointer.release(300, 300, start);
        pointer.noteTime(at(gone));
        const int32_t later = at(100); // and 2^32 ms
        EXPECT_EQ(pointer.stripOpacity(later), 0);
        EXPECT_LT(pointer.nextChangeIn(later), 0);
        EXPECT_EQ(pointer.press(300, timelineY, later).what, pointerCommand::none);
        EXPECT_EQ(pointer.release(300, timelineY, later).what, pointerCommand::clickPicture);
        // Settling early changes nothing: a fading strip fades on, a click waits its time.
        pointer.noteTime(at(150));
        EXPECT_FLOAT_EQ(pointer.stripOpacity(at(100 + kStripShownMs + kStripFadeMs / 2)), 0.5f);
        pointer.noteTime(at(200));
        pointer.press(302, timelineY, at(250));
        pointer.noteTime(at(100 + 2 * kDoubleClickMs)); // a frame drawn while it is held
        EXPECT_EQ(pointer.release(302, timelineY, at(110 + 2 * kDoubleClickMs)).what,
                  pointerCommand::doubleClickPicture);
    }
}

namespace {

// A player that keeps the modes as playback does and writes down what it is asked.
class recordingPlayer : public pointerPlayer {
  public:
    state current() const override { return mode; }
    double seconds() const override { return at; }
    double speed() const override { return rate; }
    void startShow() override {
        log += "start;";
        mode = state::playing;
        at = 0;
    }
    void togglePause() override {
        if (mode == state::playing || mode == state::paused) {
            log += mode == state::playing ? "pause;" : "resume;";
            mode = mode == state::playing ? state::paused : state::playing;
        }
    }
    void jumpTo(double seconds) override {
        log += "jump " + number(seconds) + ";";
        at = seconds;
        if (mode != state::playing) {
            mode = state::paused;
        }
    }
    void jumpSoon(double seconds) override { log += "soon " + number(seconds) + ";"; }
    void setSpeed(double speed) override {
        log += "speed " + number(speed) + ";";
        rate = speed;
    }
    void toggleFullScreen() override { log += "full screen;"; }
    void toggleHelp() override { log += "help;"; }

    state mode = state::opening;
    double at = 0, rate = 1;
    std::string log;

  private:
    static std::string number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", value);
        return text;
    }
};

// The pointer's commands through its rules to the player, as the program wires them.
class PointerRules : public Pointer {
  protected:
    void tap(float x, float y) {
        rules.act(pointer.press(x, y, now), player);
        now += 60;
        rules.act(pointer.release(x, y, now), player);
    }
    void drag(float from, float to) {
        rules.act(pointer.press(from, timelineY, now), player);
        rules.act(pointer.move((from + to) / 2, timelineY, now), player);
        rules.act(pointer.release(to, timelineY, now), player);
    }
    double secondsAt(float x) const { return timelineSeconds(timelineSpanFor(720), x); }
    std::string jumps(float from, float to) const {
        char text[96];
        std::snprintf(text, sizeof text, "jump %g;soon %g;jump %g;", secondsAt(from),
                      secondsAt((from + to) / 2), secondsAt(to));
        return text;
    }
    pointerRules rules;
    recordingPlayer player;
};

} // namespace

TEST_F(PointerRules, ClicksStartPauseAndResumeAndADoubleClickLeavesTheModeAsItWas) {
    using state = pointerPlayer::state;
    for (int click = 0; click < 3; ++click, now += kDoubleClickMs + 1) {
        tap(300, 300);
    }
    EXPECT_EQ(player.log, "start;pause;resume;");
    const std::pair<state, const char*> doubleClicks[] = {
        {state::playing, "pause;resume;full screen;"},
        {state::paused, "resume;pause;full screen;"},
        {state::opening, "start;full screen;"}, // the show starts and stays started
        {state::finished, "start;full screen;"}};
    for (const auto& [mode, log] : doubleClicks) {
        player.mode = mode;
        player.log.clear();
        tap(300, 300);
        now += 100;
        tap(300, 300);
        now += kDoubleClickMs + 1;
        EXPECT_EQ(player.log, log);
        EXPECT_EQ(player.mode, mode == state::paused ? state::paused : state::playing);
    }
}

TEST_F(PointerRules, AScrubHoldsAPlayingShowUntilTheReleaseAndLeavesAPausedOnePaused) {
    player.mode = pointerPlayer::state::playing;
    drag(100, 300);
    EXPECT_EQ(player.log, "pause;" + jumps(100, 300) + "resume;");
    EXPECT_EQ(player.mode, pointerPlayer::state::playing);
    for (auto mode : {pointerPlayer::state::paused, pointerPlayer::state::opening,
                      pointerPlayer::state::finished}) {
        player.mode = mode;
        player.log.clear();
        drag(400, 200);
        EXPECT_EQ(player.log, jumps(400, 200));
        EXPECT_EQ(player.mode, pointerPlayer::state::paused);
    }
    // Forgotten in the middle: the release no longer resumes.
    player.mode = pointerPlayer::state::playing;
    player.log.clear();
    rules.act(pointer.press(100, timelineY, now), player);
    rules.forget();
    rules.act(pointer.release(200, timelineY, now), player);
    EXPECT_EQ(player.mode, pointerPlayer::state::paused);
}

TEST_F(PointerRules, TheStripsButtonsAndTheWheelAct) {
    const stripLayout layout = layoutStrip(720);
    player.rate = 2;
    for (const pixelBox* box : {&layout.playPause, &layout.playPause, &layout.speed, &layout.speed,
                                &layout.fullScreen, &layout.help}) {
        tap(midX(*box), midY(*box));
        now += 100; // soon after: buttons make no double clicks
    }
    EXPECT_EQ(player.log, "start;pause;speed 4;speed 0.25;full screen;help;");
    player.log.clear();
    player.at = 60;
    rules.act(pointer.wheel(1, 300, timelineY, now), player);
    rules.act(pointer.wheel(-1, 300, timelineY, now), player);
    rules.act(pointer.wheel(-1, 300, 300, now), player);
    EXPECT_EQ(player.log, "jump 65;jump 60;");
}
