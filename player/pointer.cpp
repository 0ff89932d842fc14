// The pointer's pure logic. Clicks act at once (a double click undoes its first click's pause):
// a browser lets sound start only inside the handler of the user's own event, so a click decided
// later by a timer could never start the soundtrack.
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

bool withinReach(float ax, float ay, float bx, float by, float reach) {
    return std::hypot(ax - bx, ay - by) <= reach;
}

// Milliseconds from `earlier` to `later`, readings of a clock that wraps at 2^32: modulo 2^32, so
// a wrap between them is no jump and a span of 2^31 or more is no overflow.
uint32_t since(int32_t earlier, int32_t later) {
    return uint32_t(later) - uint32_t(earlier);
}

const uint32_t kShownMs = uint32_t(kStripShownMs);
const uint32_t kGoneMs = uint32_t(kStripShownMs + kStripFadeMs);

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
    shown_ = true;
    lastMove_ = now;
}

uint32_t pointerTracker::idleFor(int32_t now) const {
    return since(lastMove_, now);
}

stripPart pointerTracker::partAt(float x, float y, int32_t now) const {
    const bool shown = barOnly_ || stripOpacity(now) > 0;
    return shown ? stripPartAt(layout_, barOnly_, x, y) : stripPart::none;
}

bool pointerTracker::secondClickAt(float x, float y, int32_t now) const {
    return clicked_ && since(clickAt_, now) <= uint32_t(kDoubleClickMs) &&
           withinReach(x, y, clickX_, clickY_, kDoubleClickReach);
}

void pointerTracker::noteTime(int32_t now) {
    if (shown_ && !held_ && idleFor(now) >= kGoneMs) {
        shown_ = false;
    }
    if (clicked_ && since(clickAt_, now) > uint32_t(kDoubleClickMs)) {
        clicked_ = false;
    }
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
    secondClick_ = secondClickAt(x, y, now);
    const stripPart part = secondClick_ ? stripPart::none : partAt(x, y, now);
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
    if (secondClick_) {
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
    if (held_ && !dragged_ && !withinReach(x, y, pressX_, pressY_, kClickSlop)) {
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
    if (!shown_) {
        return 0;
    }
    const uint32_t idle = idleFor(now);
    if (idle < kShownMs) {
        return 1;
    }
    if (idle >= kGoneMs) {
        return 0;
    }
    return 1 - float(idle - kShownMs) / float(kStripFadeMs);
}

int32_t pointerTracker::nextChangeIn(int32_t now) const {
    if (held_ || !shown_) {
        return -1;
    }
    const uint32_t idle = idleFor(now);
    if (idle < kShownMs) {
        return int32_t(kShownMs - idle);
    }
    if (idle < kGoneMs) {
        return std::min(kFadeStepMs, int32_t(kGoneMs - idle));
    }
    return -1;
}

bool pointerTracker::cursorHidden(int32_t now, bool fullScreen) const {
    return fullScreen && !held_ && stripOpacity(now) == 0;
}

namespace {

// From the opening screen or after the end the show starts, as a does; otherwise p's pause and
// resume. True when it paused or resumed.
bool startOrTogglePause(pointerPlayer& player) {
    const pointerPlayer::state state = player.current();
    if (state == pointerPlayer::state::opening || state == pointerPlayer::state::finished) {
        player.startShow();
        return false;
    }
    player.togglePause();
    return true;
}

} // namespace

void pointerRules::pressPart(stripPart part, pointerPlayer& player) {
    switch (part) {
    case stripPart::playPause:
        startOrTogglePause(player);
        break;
    case stripPart::speed:
        player.setSpeed(nextSpeedAround(player.speed()));
        break;
    case stripPart::fullScreen:
        player.toggleFullScreen();
        break;
    case stripPart::help:
        player.toggleHelp();
        break;
    default:
        break;
    }
}

void pointerRules::act(const pointerCommand& command, pointerPlayer& player) {
    switch (command.what) {
    case pointerCommand::none:
        break;
    case pointerCommand::clickPicture:
        clickToggledPause_ = startOrTogglePause(player);
        break;
    case pointerCommand::doubleClickPicture:
        if (clickToggledPause_) {
            player.togglePause();
        }
        clickToggledPause_ = false;
        player.toggleFullScreen();
        break;
    case pointerCommand::pressPart:
        pressPart(command.part, player);
        break;
    case pointerCommand::scrubStart:
        resumeAfterScrub_ = player.current() == pointerPlayer::state::playing;
        if (resumeAfterScrub_) {
            player.togglePause();
        }
        player.jumpTo(command.seconds);
        break;
    case pointerCommand::scrubMove:
        player.jumpSoon(command.seconds);
        break;
    case pointerCommand::scrubEnd:
        player.jumpTo(command.seconds);
        if (resumeAfterScrub_) {
            player.togglePause();
        }
        resumeAfterScrub_ = false;
        break;
    case pointerCommand::wheelStep:
        player.jumpTo(player.seconds() + command.seconds);
        break;
    }
}
