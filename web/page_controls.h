// When the page's controls (the HTML bar over the stage) show, and what a tap or a click on the
// stage outside them means, as a phone's or a desktop's video player has it. Pure logic on
// readings of a real-time clock, so the rules are tested without a browser.
#pragma once

#include <cstdint>

enum class stageInput { mouse, touch };

// What a tap or click asks of the show.
struct stageAction {
    bool playPause = false;   // start from the opening or the end, else pause or resume
    bool fullScreen = false;  // full screen on or off
    bool secondClick = false; // the second click of a mouse's double click: its first click's
                              // pause or resume is undone
};

class pageControls {
  public:
    // The mouse moved over the stage (touches do not hover).
    void pointerMoved(int32_t now);
    // A control was used: pressed, dragged, or reached with a key.
    void controlUsed(int32_t now);
    // While held (a finger or the mouse on the bar, the keyboard's focus in it) they stay.
    void setHeld(bool held, int32_t now);
    // A finger or the mouse's button down on the stage outside the controls: what shows now,
    // and when, decides what the tap means when it ends (a busy page may take its time to
    // deliver the release).
    void press(int32_t now, bool playing);
    // The tap or click, ended, on the picture or on the bars around it. A touch only shows the
    // controls when they were hidden, and hides them from a playing show when they showed; a
    // click on the picture plays and pauses. Two taps or clicks on the picture close together
    // in time and place are a double one: full screen. (Without a press, it is judged now.)
    stageAction tap(stageInput input, bool onPicture, float x, float y, int32_t now,
                    bool playing);
    // Whether the controls show: always unless the show plays; while it plays, for a while
    // after the last movement or use, unless a tap hid them. Forgets an activity once it is
    // that old, so a clock that wraps after 2^32 ms never brings them back.
    bool shown(int32_t now, bool playing);
    // Whether a tap hid them (rather than time), until they next show.
    bool hiddenByTap() const { return hiddenByTap_; }
    // Milliseconds since the last movement or use (modulo 2^32).
    uint32_t idleFor(int32_t now) const { return uint32_t(now) - uint32_t(lastActive_); }

  private:
    void reveal(int32_t now);
    bool recent(int32_t now);

    bool active_ = false; // moved or used within the time the controls stay
    int32_t lastActive_ = 0;
    bool hiddenByTap_ = false;
    bool held_ = false;
    bool pressed_ = false; // a press whose tap has not ended
    bool shownAtPress_ = false;
    int32_t pressAt_ = 0;
    bool tapped_ = false; // the last tap on the picture, which a second may make a double one
    float tapX_ = 0, tapY_ = 0;
    int32_t tapAt_ = 0;
};
