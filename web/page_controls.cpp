// The page's controls: when they show and what a tap or click on the stage means. The times
// and distances are the player's own (player/pointer.h): the controls stay as long as the
// window's strip does, and a double tap is what a double click is.
#include "web/page_controls.h"

#include "player/pointer.h"

#include <cmath>

void pageControls::reveal(int32_t now) {
    active_ = true;
    lastActive_ = now;
    hiddenByTap_ = false;
}

bool pageControls::recent(int32_t now) {
    // An unsigned difference: right across the wrap of the 32-bit clock.
    if (active_ && uint32_t(now) - uint32_t(lastActive_) >= uint32_t(kStripShownMs)) {
        active_ = false;
    }
    return active_;
}

void pageControls::pointerMoved(int32_t now) { reveal(now); }

void pageControls::controlUsed(int32_t now) { reveal(now); }

void pageControls::setHeld(bool held, int32_t now) {
    held_ = held;
    reveal(now); // letting go starts the time they stay
}

void pageControls::press(int32_t now, bool playing) {
    pressed_ = true;
    shownAtPress_ = shown(now, playing);
    pressAt_ = now;
}

stageAction pageControls::tap(stageInput input, bool onPicture, float x, float y, int32_t now,
                              bool playing) {
    const bool wereShown = pressed_ ? shownAtPress_ : shown(now, playing);
    const int32_t at = pressed_ ? pressAt_ : now;
    pressed_ = false;
    const bool second = onPicture && tapped_ &&
                        uint32_t(at) - uint32_t(tapAt_) <= uint32_t(kDoubleClickMs) &&
                        std::hypot(x - tapX_, y - tapY_) <= kDoubleClickReach;
    // A third tap starts afresh; a tap on the bars is no first tap of a double one.
    tapped_ = onPicture && !second;
    tapX_ = x;
    tapY_ = y;
    tapAt_ = at;

    stageAction action;
    if (input == stageInput::mouse) {
        reveal(now);
        if (onPicture) {
            action.fullScreen = second;
            action.secondClick = second;
            action.playPause = !second;
        }
        return action;
    }
    if (second) {
        reveal(now); // whatever its first tap did, the controls show after a double tap
        action.fullScreen = true;
    } else if (wereShown && onPicture && playing) {
        hiddenByTap_ = true;
    } else {
        reveal(now);
    }
    return action;
}

bool pageControls::shown(int32_t now, bool playing) {
    const bool recently = recent(now);
    return !playing || held_ || (recently && !hiddenByTap_);
}
