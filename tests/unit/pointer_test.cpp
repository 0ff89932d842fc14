// The pointer's logic without GL or GLUT, on clock readings the test chooses: where the strip's
// parts are, timeline position <-> time, clicks, double clicks, drags, scrubs, the wheel, and
// the strip's fading with the idle cursor.
#include "basicsource/scene.h"
#include "player/pointer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

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
    EXPECT_FALSE(pointer.scrubbing());
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
