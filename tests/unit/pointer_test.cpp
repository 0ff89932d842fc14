// The pointer's logic without GL or GLUT, on clock readings the test chooses: where the strip's
// parts are, timeline position <-> time, clicks, double clicks, drags, scrubs, the wheel, and
// the strip's fading with the idle cursor.
#include "basicsource/scene.h"
#include "player/pointer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

const int kWidth = 720;

float centreX(const pixelBox& box) { return (box.left + box.right) / 2; }
float centreY(const pixelBox& box) { return (box.bottom + box.top) / 2; }

// A pointer over a 720-pixel window that has just moved, so the strip shows.
class Pointer : public testing::Test {
  protected:
    void SetUp() override {
        pointer.setWindow(kWidth, false);
        pointer.move(360, 300, now);
    }
    pointerCommand click(float x, float y) {
        pointer.press(x, y, now);
        now += 60;
        return pointer.release(x, y, now);
    }
    const stripLayout& layout() const { return pointer.layout(); }
    float timelineY() const { return centreY(layout().timelineZone); }
    pointerTracker pointer;
    int32_t now = 100000;
};

} // namespace

TEST(Timeline, PositionsAndTimesMeetOnTheFrameGridAndTheSceneMarks) {
    const timelineSpan span = timelineSpanFor(kWidth);
    EXPECT_EQ(span.left, 10);
    EXPECT_EQ(span.right, 710);
    EXPECT_EQ(timelineX(span, 0), 10);
    EXPECT_EQ(timelineX(span, kShowLength), 710);
    EXPECT_EQ(timelineSeconds(span, 10), 0);
    EXPECT_EQ(timelineSeconds(span, 710), kShowLength);
    // Beyond either end: the end.
    EXPECT_EQ(timelineSeconds(span, -50), 0);
    EXPECT_EQ(timelineSeconds(span, 900), kShowLength);
    // Every pixel lands on a 1/25 s frame and maps back to within a pixel, or to the scene's
    // mark it is near.
    for (float x = 10; x <= 710; x += 1) {
        const double seconds = timelineSeconds(span, x);
        const double frames = seconds * kPoseFramesPerSecond;
        EXPECT_NEAR(frames, std::round(frames), 1e-9) << "at x " << x;
        bool nearMark = false;
        for (double start : kSceneStarts) {
            nearMark = nearMark || std::fabs(x - timelineX(span, start)) <= kMarkReach;
        }
        EXPECT_NEAR(timelineX(span, seconds), x, nearMark ? kMarkReach : 1.0f) << "at x " << x;
    }
    // Near a scene's mark, its start exactly; just beyond the reach, not.
    for (double start : kSceneStarts) {
        const float mark = timelineX(span, start);
        EXPECT_EQ(timelineSeconds(span, mark + kMarkReach - 0.5f), start);
        EXPECT_EQ(timelineSeconds(span, mark - kMarkReach + 0.5f), start);
        if (start > 0) {
            EXPECT_LT(timelineSeconds(span, mark - kMarkReach - 1), start);
        }
    }
    // A window too narrow for a timeline gives the start, not a division by zero.
    EXPECT_EQ(timelineSeconds(timelineSpanFor(15), 12), 0);
}

TEST(StripLayout, EveryPartIsFoundWhereItIsDrawnAndNowhereElse) {
    for (int width : {320, 720, 1920}) {
        const stripLayout layout = layoutStrip(width);
        const std::pair<pixelBox, stripPart> buttons[] = {
            {layout.playPause, stripPart::playPause}, {layout.speed, stripPart::speed},
            {layout.fullScreen, stripPart::fullScreen}, {layout.help, stripPart::help}};
        for (const auto& button : buttons) {
            const pixelBox& b = button.first;
            EXPECT_EQ(stripPartAt(layout, false, centreX(b), centreY(b)), button.second);
            EXPECT_EQ(stripPartAt(layout, false, b.left, b.bottom), button.second);
            EXPECT_NE(stripPartAt(layout, false, b.right, centreY(b)), button.second);
            // No button covers the time's text ("1:24 / 2:10") or the timeline's handle.
            const bool right = button.second != stripPart::playPause;
            EXPECT_TRUE(right ? b.left >= layout.timeTextX + 11 * 8 : b.right <= layout.timeTextX)
                << "width " << width;
            EXPECT_LE(b.top, layout.trackBottom - 6);
        }
        EXPECT_EQ(stripPartAt(layout, false, width / 2.0f, layout.trackBottom), stripPart::timeline);
        EXPECT_EQ(stripPartAt(layout, false, 4, layout.trackTop), stripPart::timeline);
        EXPECT_EQ(stripPartAt(layout, false, width / 2.0f, 1), stripPart::background);
        EXPECT_EQ(stripPartAt(layout, false, width / 2.0f, kStripHeight), stripPart::none);
        // With t on only the bar along the bottom edge is there.
        const stripLayout bar = layoutBarOnly(width);
        EXPECT_EQ(stripPartAt(bar, true, width / 2.0f, 2), stripPart::timeline);
        EXPECT_EQ(stripPartAt(bar, true, width / 2.0f, 12), stripPart::none);
        EXPECT_EQ(stripPartAt(bar, true, centreX(layout.help), centreY(layout.help)),
                  stripPart::none);
    }
}

TEST(StripText, TimeSpeedAndTheSpeedButtonsRound) {
    EXPECT_EQ(stripTimeText(84.7, 130), "1:24 / 2:10");
    EXPECT_EQ(stripTimeText(0, 130), "0:00 / 2:10");
    EXPECT_EQ(stripTimeText(-1, 9.5), "0:00 / 0:09");
    EXPECT_EQ(speedText(1), "1x");
    EXPECT_EQ(speedText(0.25), "0.25x");
    double speed = 1;
    const double expected[] = {2, 4, 0.25, 0.5, 1};
    for (double next : expected) {
        speed = nextSpeedAround(speed);
        EXPECT_EQ(speed, next);
    }
}

TEST_F(Pointer, AClickOnThePictureActsAtOnceAndASecondSoonAndNearIsADoubleClick) {
    EXPECT_EQ(click(300, 300).what, pointerCommand::clickPicture);
    now += 200;
    EXPECT_EQ(click(303, 302).what, pointerCommand::doubleClickPicture);
    // A third click starts afresh.
    now += 100;
    EXPECT_EQ(click(303, 302).what, pointerCommand::clickPicture);
    // Too late for a double click: two clicks.
    now += kDoubleClickMs + 1;
    EXPECT_EQ(click(303, 302).what, pointerCommand::clickPicture);
    // Soon but too far away: two clicks.
    now += 100;
    EXPECT_EQ(click(303 + kDoubleClickReach + 2, 302).what, pointerCommand::clickPicture);
    // A button pressed in between: no double click after it.
    now += 100;
    const stripLayout& strip = layout();
    EXPECT_EQ(click(centreX(strip.help), centreY(strip.help)).part, stripPart::help);
    now += 50;
    EXPECT_EQ(click(313, 302).what, pointerCommand::clickPicture);
}

TEST_F(Pointer, ADragOnThePictureOrAReleaseWithoutAPressDoesNothing) {
    pointer.press(300, 300, now);
    EXPECT_EQ(pointer.move(300 + kClickSlop + 1, 300, now + 20).what, pointerCommand::none);
    EXPECT_EQ(pointer.release(300, 300, now + 40).what, pointerCommand::none); // back, still a drag
    EXPECT_EQ(pointer.release(300, 300, now + 60).what, pointerCommand::none);
    // A wobble within the slop is still a click.
    pointer.press(300, 300, now + 100);
    pointer.move(300 + kClickSlop - 1, 300, now + 120);
    EXPECT_EQ(pointer.release(300 + kClickSlop - 1, 300, now + 140).what,
              pointerCommand::clickPicture);
}

TEST_F(Pointer, AButtonActsWhenReleasedOnItselfAndTheStripsBackgroundNever) {
    const pixelBox speed = layout().speed;
    pointerCommand pressed = click(centreX(speed), centreY(speed));
    EXPECT_EQ(pressed.what, pointerCommand::pressPart);
    EXPECT_EQ(pressed.part, stripPart::speed);
    // Pressed on it, released off it: nothing.
    pointer.press(centreX(speed), centreY(speed), now);
    EXPECT_EQ(pointer.release(centreX(speed), 200, now + 50).what, pointerCommand::none);
    EXPECT_EQ(click(kWidth / 2.0f, 1).what, pointerCommand::none);
}

TEST_F(Pointer, ScrubbingFollowsFramesPausesTheFadeAndEndsWhereReleased) {
    const timelineSpan span = layout().timeline;
    const float y = timelineY();
    pointerCommand start = pointer.press(200, y, now);
    EXPECT_EQ(start.what, pointerCommand::scrubStart);
    EXPECT_EQ(start.seconds, timelineSeconds(span, 200));
    EXPECT_TRUE(pointer.scrubbing());
    // Within the same frame nothing new; a pixel further, the next position.
    EXPECT_EQ(pointer.move(200, y + 1, now + 10).what, pointerCommand::none);
    pointerCommand moved = pointer.move(260, y + 30, now + 20); // off the timeline: still scrubbing
    EXPECT_EQ(moved.what, pointerCommand::scrubMove);
    EXPECT_EQ(moved.seconds, timelineSeconds(span, 260));
    // Held longer than the strip lasts: it stays.
    EXPECT_EQ(pointer.stripOpacity(now + 10 * kStripShownMs), 1);
    EXPECT_FALSE(pointer.cursorHidden(now + 10 * kStripShownMs, true));
    pointerCommand end = pointer.release(400, y, now + 10 * kStripShownMs);
    EXPECT_EQ(end.what, pointerCommand::scrubEnd);
    EXPECT_EQ(end.seconds, timelineSeconds(span, 400));
    EXPECT_FALSE(pointer.scrubbing());
    // A press on a scene's mark and release there: that scene's start.
    const float mark = timelineX(span, kSceneStarts[3]);
    EXPECT_EQ(pointer.press(mark + 2, y, now).seconds, kSceneStarts[3]);
    EXPECT_EQ(pointer.release(mark + 2, y, now + 50).seconds, kSceneStarts[3]);
}

TEST_F(Pointer, TheWheelStepsOverTheShownTimelineOnly) {
    const float y = timelineY();
    pointerCommand forward = pointer.wheel(1, 300, y, now);
    EXPECT_EQ(forward.what, pointerCommand::wheelStep);
    EXPECT_EQ(forward.seconds, kWheelStepSeconds);
    EXPECT_EQ(pointer.wheel(-1, 300, y, now).seconds, -kWheelStepSeconds);
    EXPECT_EQ(pointer.wheel(1, 300, 300, now).what, pointerCommand::none);
    EXPECT_EQ(pointer.wheel(1, centreX(layout().speed), centreY(layout().speed), now).what,
              pointerCommand::none);
    // Once the strip has gone, the timeline's place is the picture, for the wheel and clicks.
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(pointer.wheel(1, 300, y, now).what, pointerCommand::none);
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(click(300, y).what, pointerCommand::clickPicture);
    // With t on the bar is always there.
    pointer.setWindow(kWidth, true);
    now += kStripShownMs + kStripFadeMs;
    EXPECT_EQ(pointer.wheel(-1, 300, 3, now).what, pointerCommand::wheelStep);
    EXPECT_EQ(pointer.wheel(-1, 300, y, now).what, pointerCommand::none);
}

TEST(PointerFading, TheStripShowsForThreeSecondsAfterMovementThenFadesAndTheCursorHides) {
    for (int32_t start : {0, INT32_MAX - 1000}) { // also across the clock's wrap
        pointerTracker pointer;
        pointer.setWindow(kWidth, false);
        EXPECT_EQ(pointer.stripOpacity(start), 0);
        EXPECT_LT(pointer.nextChangeIn(start), 0);
        // Before any movement the cursor hides in full screen only.
        EXPECT_TRUE(pointer.cursorHidden(start, true));
        EXPECT_FALSE(pointer.cursorHidden(start, false));

        pointer.move(10, 10, start);
        auto at = [start](int32_t ms) { return int32_t(uint32_t(start) + uint32_t(ms)); };
        EXPECT_EQ(pointer.stripOpacity(at(kStripShownMs - 1)), 1);
        EXPECT_EQ(pointer.nextChangeIn(at(1000)), kStripShownMs - 1000);
        EXPECT_FALSE(pointer.cursorHidden(at(kStripShownMs), true));
        EXPECT_FLOAT_EQ(pointer.stripOpacity(at(kStripShownMs + kStripFadeMs / 2)), 0.5f);
        EXPECT_EQ(pointer.nextChangeIn(at(kStripShownMs + 1)), kFadeStepMs);
        EXPECT_EQ(pointer.nextChangeIn(at(kStripShownMs + kStripFadeMs - 10)), 10);
        EXPECT_EQ(pointer.stripOpacity(at(kStripShownMs + kStripFadeMs)), 0);
        EXPECT_LT(pointer.nextChangeIn(at(kStripShownMs + kStripFadeMs)), 0);
        EXPECT_TRUE(pointer.cursorHidden(at(kStripShownMs + kStripFadeMs), true));
        EXPECT_FALSE(pointer.cursorHidden(at(kStripShownMs + kStripFadeMs), false));
        // Any movement brings it back at once.
        pointer.move(11, 10, at(9000));
        EXPECT_EQ(pointer.stripOpacity(at(9000)), 1);
        EXPECT_FALSE(pointer.cursorHidden(at(9000), true));
    }
}
