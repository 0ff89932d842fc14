// The pointer's pure logic: where the control strip's parts lie in a window, timeline position
// <-> show time, what presses, drags, releases and wheel turns mean (pointerTracker), with the
// strip's fading and the idle cursor, and what those meanings do to a player (pointerRules).
// Time comes in as readings of a real-time clock (never the animation clock, which stops while
// paused), so tests drive all of it without GL, GLUT or waiting. Any pointer can use it: the
// program's GLUT mouse (pointer_input.cpp) or a page's own controls.
#pragma once

#include <cstdint>
#include <string>

// The parts of the control strip a pointer can be over: `none` is the picture, `background`
// the strip between its buttons.
enum class stripPart { none, background, playPause, speed, fullScreen, help, timeline };

// A rectangle in window pixels, origin at the lower left as the overlays draw; it holds the
// pixels from left/bottom up to, not including, right/top.
struct pixelBox {
    float left = 0, bottom = 0, right = 0, top = 0;
    bool contains(float x, float y) const;
};

// The timeline across the window, 10 px in from each side: the strip's and t's bar's.
struct timelineSpan {
    float left = 0, right = 0;
};
timelineSpan timelineSpanFor(int windowWidth);
float timelineX(const timelineSpan& span, double seconds);
// The show time under x: a scene start when x is within kMarkReach pixels of its mark, else
// the nearest frame of the 25-a-second grid (so every position is a moment a jump shows
// exactly), clamped to the show.
const float kMarkReach = 4;
double timelineSeconds(const timelineSpan& span, float x);

// The strip along the bottom: the timeline above a row of buttons (play/pause and the time on
// the left; speed, full screen and help on the right).
const int kStripHeight = 52;
struct stripLayout {
    timelineSpan timeline;
    pixelBox timelineZone; // where a press or the wheel acts on the timeline
    float trackBottom = 0, trackTop = 0;
    pixelBox playPause, speed, fullScreen, help;
    int timeTextX = 0, textBaseline = 0;
};
stripLayout layoutStrip(int windowWidth);
// With t on, only the status line's bar is there: its zone is the bottom 12 pixels.
stripLayout layoutBarOnly(int windowWidth);
stripPart stripPartAt(const stripLayout& layout, bool barOnly, float x, float y);

// "1:24 / 2:10": the strip's time and the show's length.
std::string stripTimeText(double seconds, double lengthSeconds);
// "1x", "0.25x": the speed button's label.
std::string speedText(double speed);
// The speed button steps up through the player's speeds, from the fastest back to the slowest.
double nextSpeedAround(double speed);

// What an event asks the player to do.
struct pointerCommand {
    enum kind {
        none,
        clickPicture,       // a click on the picture: start the show, or pause/resume
        doubleClickPicture, // the second click of a double click: full screen on or off
        pressPart,          // a button of the strip, pressed and released on it
        scrubStart,         // a press on the timeline, at `seconds`
        scrubMove,          // the timeline dragged to `seconds`
        scrubEnd,           // released at `seconds`
        wheelStep           // the wheel over the timeline: `seconds` forward (back if < 0)
    };
    kind what = none;
    stripPart part = stripPart::none;
    double seconds = 0;
};

// Timings of the pointer, in real-time milliseconds.
const int32_t kStripShownMs = 3000; // the strip stays this long after the last movement
const int32_t kStripFadeMs = 500;   // and then fades out over this
const int32_t kFadeStepMs = 40;     // how often the fading strip is drawn anew
const int32_t kDoubleClickMs = 400; // the most between the presses of a double click
const float kDoubleClickReach = 8;  // and the most pixels between them
const float kClickSlop = 5;         // a press that moves further is a drag, not a click
const double kWheelStepSeconds = 5;

// One pointer's state. Positions are window pixels from the lower left; `now` is a reading of
// a 32-bit millisecond clock that wraps (only differences of readings count, taken modulo 2^32).
// setWindow tells it the window's width and whether t's bar replaces the strip.
class pointerTracker {
  public:
    void setWindow(int windowWidth, bool barOnly);
    // A press means what was visible when its gesture began: a press soon and near a click on
    // the picture is the second click of a double click, even where that click brought up the
    // strip.
    pointerCommand press(float x, float y, int32_t now);
    pointerCommand release(float x, float y, int32_t now);
    // Movement with or without a button held.
    pointerCommand move(float x, float y, int32_t now);
    // One step of the wheel: direction +1 (up, forward) or -1.
    pointerCommand wheel(int direction, float x, float y, int32_t now);

    // 1 while the pointer moved in the last kStripShownMs or a button is held, then down to 0.
    float stripOpacity(int32_t now) const;
    // Milliseconds until the opacity next changes by itself; negative when it will not.
    int32_t nextChangeIn(int32_t now) const;
    // In full screen the cursor hides once the strip has gone, or before the pointer ever moved.
    bool cursorHidden(int32_t now, bool fullScreen) const;
    // Settles what has run out by `now` (the strip's showing and fading, a click's wait for a
    // second one), so that a reading after any rest, however long, is never taken for a recent
    // one: readings come round again every 49.7 days. Call it with every frame and fading step.
    void noteTime(int32_t now);
    const stripLayout& layout() const { return layout_; }

  private:
    void noteMovement(int32_t now);
    uint32_t idleFor(int32_t now) const;
    bool secondClickAt(float x, float y, int32_t now) const;
    // What an event at (x, y) now is on: the picture wherever the strip is not shown.
    stripPart partAt(float x, float y, int32_t now) const;
    pointerCommand scrubTo(pointerCommand::kind what, float x);
    pointerCommand clickOnPicture();

    stripLayout layout_ = layoutStrip(0);
    bool barOnly_ = false;
    // The strip shows for the movement at lastMove_: false before any, and again once faded.
    bool shown_ = false;
    int32_t lastMove_ = 0;
    bool held_ = false;
    stripPart pressed_ = stripPart::none;
    float pressX_ = 0, pressY_ = 0;
    int32_t pressAt_ = 0;
    bool secondClick_ = false; // the press is the second of a double click, if released as a click
    bool dragged_ = false;
    double scrubSeconds_ = -1;
    // The last single click on the picture, which a second one may make a double click.
    bool clicked_ = false;
    float clickX_ = 0, clickY_ = 0;
    int32_t clickAt_ = 0;
};

// The player as the pointer's rules drive it: the program's playback (pointer_input.cpp), or
// whatever a test or a page puts in its place.
class pointerPlayer {
  public:
    enum class state { opening, playing, paused, finished };
    virtual ~pointerPlayer() = default;
    virtual state current() const = 0;
    virtual double seconds() const = 0; // the show time the picture has
    virtual double speed() const = 0;
    virtual void startShow() = 0;   // from its beginning, with the soundtrack
    virtual void togglePause() = 0; // pauses a playing show, resumes a paused one
    // At once; a jump asked for with jumpSoon and not yet made is dropped.
    virtual void jumpTo(double seconds) = 0;
    // Once the events already queued are taken; the last one asked for is the one made.
    virtual void jumpSoon(double seconds) = 0;
    virtual void setSpeed(double speed) = 0;
    virtual void toggleFullScreen() = 0;
    virtual void toggleHelp() = 0;
};

// What the pointer's commands do to a player. A click on the picture starts the show from the
// opening screen or after the end, and otherwise pauses or resumes it; the second click of a
// double click undoes a pause or resume its first made and toggles full screen. A scrub holds a
// playing show still under the drag (the picture follows, the sound waits) and plays on from
// the release. The wheel steps from the time shown.
class pointerRules {
  public:
    void act(const pointerCommand& command, pointerPlayer& player);
    // Ends a gesture without what its end would do (something else took the window).
    void forget() { *this = pointerRules(); }

  private:
    void pressPart(stripPart part, pointerPlayer& player);
    bool clickToggledPause_ = false; // whether the last click on the picture paused or resumed
    bool resumeAfterScrub_ = false;
};
