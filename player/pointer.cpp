// The pointer's pure logic. Clicks act at once (a double click undoes its first click's pause
// in the player): a browser lets sound start only inside the handler of the user's own event, so
// a click decided later by a timer could never start the soundtrack.
#include "player/pointer.h"

#include "basicsource/scene.h"
#include "player/player_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace {

const float kTimelineInset = 10;
const float kTimelineReachOutside = 6; // the zone goes a little beyond each end
const float kBarZoneHeight = 12;

pixelBox box(float left, float bottom, float right, float top) {
    pixelBox b;
    b.left = left;
    b.bottom = bottom;
    b.right = right;
    b.top = top;
    return b;
}

bool near(float ax, float ay, float bx, float by, float reach) {
    return std::hypot(ax - bx, ay - by) <= reach;
}

std::string minutesAndSeconds(double seconds) {
    const int whole = int(std::max(seconds, 0.0));
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    return text;
}

} // namespace

bool pixelBox::contains(float x, float y) const {
    return x >= left && x < right && y >= bottom && y < top;
}

timelineSpan timelineSpanFor(int windowWidth) {
    return {kTimelineInset, float(windowWidth) - kTimelineInset};
}

float timelineX(const timelineSpan& span, double seconds) {
    return span.left + float(seconds / kShowLength) * (span.right - span.left);
}

double timelineSeconds(const timelineSpan& span, float x) {
    const float width = span.right - span.left;
    if (width <= 0) {
        return 0;
    }
    double nearest = -1;
    float nearestDistance = kMarkReach;
    for (double start : kSceneStarts) {
        const float distance = std::fabs(x - timelineX(span, start));
        if (distance <= nearestDistance) {
            nearest = start;
            nearestDistance = distance;
        }
    }
    if (nearest >= 0) {
        return nearest;
    }
    const double seconds =
        std::clamp(double(x - span.left) / width * kShowLength, 0.0, double(kShowLength));
    return std::round(seconds * kPoseFramesPerSecond) / kPoseFramesPerSecond;
}

stripLayout layoutStrip(int windowWidth) {
    stripLayout layout;
    const float w = float(windowWidth);
    layout.timeline = timelineSpanFor(windowWidth);
    layout.trackBottom = 38;
    layout.trackTop = 42;
    layout.timelineZone = box(layout.timeline.left - kTimelineReachOutside, 28,
                              layout.timeline.right + kTimelineReachOutside, kStripHeight);
    const float rowBottom = 2, rowTop = 26;
    layout.playPause = box(8, rowBottom, 36, rowTop);
    layout.timeTextX = 46;
    layout.textBaseline = 9;
    layout.help = box(w - 34, rowBottom, w - 8, rowTop);
    layout.fullScreen = box(w - 64, rowBottom, w - 38, rowTop);
    layout.speed = box(w - 124, rowBottom, w - 68, rowTop);
    return layout;
}

stripLayout layoutBarOnly(int windowWidth) {
    stripLayout layout;
    layout.timeline = timelineSpanFor(windowWidth);
    layout.trackBottom = 1;
    layout.trackTop = 4;
    layout.timelineZone = box(layout.timeline.left - kTimelineReachOutside, 0,
                              layout.timeline.right + kTimelineReachOutside, kBarZoneHeight);
    return layout;
}

stripPart stripPartAt(const stripLayout& layout, bool barOnly, float x, float y) {
    if (barOnly) {
        return layout.timelineZone.contains(x, y) ? stripPart::timeline : stripPart::none;
    }
    const std::pair<const pixelBox*, stripPart> parts[] = {
        {&layout.playPause, stripPart::playPause},
        {&layout.speed, stripPart::speed},
        {&layout.fullScreen, stripPart::fullScreen},
        {&layout.help, stripPart::help},
        {&layout.timelineZone, stripPart::timeline}};
    for (const auto& part : parts) {
        if (part.first->contains(x, y)) {
            return part.second;
        }
    }
    return y >= 0 && y < kStripHeight ? stripPart::background : stripPart::none;
}

std::string stripTimeText(double seconds, double lengthSeconds) {
    return minutesAndSeconds(seconds) + " / " + minutesAndSeconds(lengthSeconds);
}

std::string speedText(double speed) {
    char text[16];
    std::snprintf(text, sizeof text, "%gx", speed);
    return text;
}

double nextSpeedAround(double speed) {
    const double faster = fasterSpeed(speed);
    return faster > speed ? faster : kSpeeds[0];
}

void pointerTracker::setWindow(int windowWidth, bool barOnly) {
    layout_ = barOnly ? layoutBarOnly(windowWidth) : layoutStrip(windowWidth);
    barOnly_ = barOnly;
}

void pointerTracker::noteMovement(int32_t now) {
    moved_ = true;
    lastMove_ = now;
}

// Differences of 32-bit readings modulo 2^32, so a wrap of the clock is no jump.
int32_t pointerTracker::idleFor(int32_t now) const {
    return int32_t(uint32_t(now) - uint32_t(lastMove_));
}

stripPart pointerTracker::partAt(float x, float y, int32_t now) const {
    const bool shown = barOnly_ || stripOpacity(now) > 0;
    return shown ? stripPartAt(layout_, barOnly_, x, y) : stripPart::none;
}

pointerCommand pointerTracker::scrubTo(pointerCommand::kind what, float x) {
    pointerCommand command;
    const double seconds = timelineSeconds(layout_.timeline, x);
    if (what == pointerCommand::scrubMove && seconds == scrubSeconds_) {
        return command; // the same frame: nothing to draw anew
    }
    scrubSeconds_ = seconds;
    command.what = what;
    command.seconds = seconds;
    return command;
}

pointerCommand pointerTracker::press(float x, float y, int32_t now) {
    const stripPart part = partAt(x, y, now);
    noteMovement(now);
    held_ = true;
    pressed_ = part;
    pressX_ = x;
    pressY_ = y;
    pressAt_ = now;
    dragged_ = false;
    if (part != stripPart::none) {
        clicked_ = false; // a button between two clicks makes them no double click
    }
    if (part == stripPart::timeline) {
        return scrubTo(pointerCommand::scrubStart, x);
    }
    return {};
}

pointerCommand pointerTracker::clickOnPicture() {
    pointerCommand command;
    const bool second = clicked_ &&
                        int32_t(uint32_t(pressAt_) - uint32_t(clickAt_)) <= kDoubleClickMs &&
                        near(pressX_, pressY_, clickX_, clickY_, kDoubleClickReach);
    if (second) {
        clicked_ = false; // a third click starts afresh
        command.what = pointerCommand::doubleClickPicture;
        return command;
    }
    clicked_ = true;
    clickAt_ = pressAt_;
    clickX_ = pressX_;
    clickY_ = pressY_;
    command.what = pointerCommand::clickPicture;
    return command;
}

pointerCommand pointerTracker::release(float x, float y, int32_t now) {
    if (!held_) {
        return {}; // a release whose press went elsewhere (another window, outside the page)
    }
    move(x, y, now);
    const stripPart part = pressed_;
    held_ = false;
    pressed_ = stripPart::none;
    switch (part) {
    case stripPart::timeline:
        return scrubTo(pointerCommand::scrubEnd, x);
    case stripPart::none:
        return dragged_ ? pointerCommand{} : clickOnPicture();
    case stripPart::background:
        return {};
    default:
        break;
    }
    pointerCommand command;
    if (stripPartAt(layout_, barOnly_, x, y) == part) {
        command.what = pointerCommand::pressPart;
        command.part = part;
    }
    return command;
}

pointerCommand pointerTracker::move(float x, float y, int32_t now) {
    noteMovement(now);
    if (held_ && !dragged_ && !near(x, y, pressX_, pressY_, kClickSlop)) {
        dragged_ = true;
    }
    if (held_ && pressed_ == stripPart::timeline) {
        return scrubTo(pointerCommand::scrubMove, x);
    }
    return {};
}

pointerCommand pointerTracker::wheel(int direction, float x, float y, int32_t now) {
    const stripPart part = partAt(x, y, now);
    noteMovement(now);
    pointerCommand command;
    if (!held_ && part == stripPart::timeline && direction != 0) {
        command.what = pointerCommand::wheelStep;
        command.seconds = direction > 0 ? kWheelStepSeconds : -kWheelStepSeconds;
    }
    return command;
}

float pointerTracker::stripOpacity(int32_t now) const {
    if (held_) {
        return 1;
    }
    if (!moved_) {
        return 0;
    }
    const int32_t idle = idleFor(now);
    if (idle < kStripShownMs) {
        return 1;
    }
    if (idle >= kStripShownMs + kStripFadeMs) {
        return 0;
    }
    return 1 - float(idle - kStripShownMs) / float(kStripFadeMs);
}

int32_t pointerTracker::nextChangeIn(int32_t now) const {
    if (held_ || !moved_) {
        return -1;
    }
    const int32_t idle = idleFor(now);
    if (idle < kStripShownMs) {
        return kStripShownMs - idle;
    }
    if (idle < kStripShownMs + kStripFadeMs) {
        return std::min(kFadeStepMs, kStripShownMs + kStripFadeMs - idle);
    }
    return -1;
}

bool pointerTracker::cursorHidden(int32_t now, bool fullScreen) const {
    return fullScreen && !held_ && (!moved_ || stripOpacity(now) == 0);
}
