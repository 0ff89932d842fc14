// The calls the page's script (page/page.js) makes into the show: the facts its controls show,
// from the C++ that holds them (no second copy in the script); what its buttons, timeline, keys
// and stage ask for; and the state it draws them from. A start or a resume waits until the
// soundtrack can play from where the show is, so the music is heard from its first note.
#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_logic.h"
#include "player/pointer.h"
#include "web/page_controls.h"
#include "web/page_status.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <cstdio>
#include <string>

extern "C" unsigned lfglFramesPresented(void);

namespace {

// "running" unless the address stopped the show before it ran: "refused" or "exited" (the usage
// or the version asked for), with gLaunchMessage saying why or what.
const char* gPageState = "running";
std::string gLaunchMessage;

pageControls gControls;

// A start or resume asked for before the music could follow.
enum class waitingFor { nothing, start, resume };
waitingFor gWaiting = waitingFor::nothing;
bool gPlayWhenMusicCan = false;
bool gClickToggledPause = false; // whether the last click on the picture paused or resumed
bool gResumeAfterScrub = false;
bool gJumpPending = false;
double gJumpSeconds = 0;

// A JSON string's contents: quotes, backslashes and control characters escaped.
std::string jsonEscaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out;
}

std::string jsonNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool playing() { return gProgramMode == kpmAnimating; }

// Muted, or the soundtrack ready to play from any moment. A soundtrack that failed leaves the
// choice to the visitor (the page offers to play without it).
bool musicCanFollow() { return !sounds || soundtrackReadiness() == soundtrackReady; }

// What the play button does: from the opening or the end the show starts, a paused show
// resumes, a playing one pauses; a start or resume before the music can follow waits for it
// (pressed again, the wait is given up). True when it paused or resumed at once.
bool playOrPause() {
    if (gWaiting != waitingFor::nothing) {
        gWaiting = waitingFor::nothing;
        return false;
    }
    const bool starts = gProgramMode == kpmAtStart || gProgramMode == kpmFinished;
    if (starts || gProgramMode == kpmPaused) {
        gPlayWhenMusicCan = false;
        if (!musicCanFollow()) {
            gWaiting = starts ? waitingFor::start : waitingFor::resume;
            return false;
        }
        if (starts) {
            startShow();
            return false;
        }
    }
    togglePause();
    return gProgramMode == kpmAnimating || gProgramMode == kpmPaused;
}

void jumpToPending(int) {
    if (gJumpPending) {
        gJumpPending = false;
        jumpTo(gJumpSeconds);
    }
}

// A drag brings many positions between two frames; only the last is posed, once the queued
// events are taken (a pose of a late moment poses every frame before it).
void requestJump(double seconds) {
    gJumpSeconds = seconds;
    if (!gJumpPending) {
        gJumpPending = true;
        glutTimerFunc(0, jumpToPending, 0);
    }
}

// The show time a page's timeline `width` CSS pixels wide means at `x`: a scene start near its
// mark, else a frame of the show's grid (the window's timeline's own rule).
double timelineSecondsAt(double x, double width) {
    timelineSpan span;
    span.left = 0;
    span.right = float(width);
    return timelineSeconds(span, float(x));
}

// The time the controls show: the opening screen reads 0:00 until the show starts.
double shownSeconds() { return gProgramMode == kpmAtStart ? 0 : currentSeconds(); }

} // namespace

void reportLaunchStop(bool refused, const std::string& message) {
    gPageState = refused ? "refused" : "exited";
    gLaunchMessage = message;
}

void playWhenMusicCan() { gPlayWhenMusicCan = true; }

// The facts the page's controls show, once: the show's length and scene starts (the marks), the
// credits' scene and where the credits line lies in the window's pixels (the controls keep
// clear of it), the frame grid a scrub lands on, the speeds, and the wheel's step.
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_facts() {
    static std::string facts;
    std::string scenes, speeds;
    for (double start : kSceneStarts) {
        scenes += (scenes.empty() ? "" : ", ") + jsonNumber(start);
    }
    for (double speed : kSpeeds) {
        speeds += (speeds.empty() ? "" : ", ") + jsonNumber(speed);
    }
    const textExtent credits = creditsLineExtent();
    facts = "{\"length\": " + jsonNumber(kShowLength) + ", \"scenes\": [" + scenes +
            "], \"creditsStart\": " + jsonNumber(kSceneStarts[kCreditsScene]) +
            ", \"creditsLine\": {\"left\": " + std::to_string(credits.left) +
            ", \"bottom\": " + std::to_string(credits.bottom) +
            ", \"right\": " + std::to_string(credits.right) +
            ", \"top\": " + std::to_string(credits.top) +
            "}, \"framesPerSecond\": " + std::to_string(kPoseFramesPerSecond) +
            ", \"speeds\": [" + speeds + "], \"wheelStep\": " + jsonNumber(kWheelStepSeconds) +
            ", \"aspect\": " + jsonNumber(double(kWindowWidth) / double(kWindowHeight)) + "}";
    return facts.c_str();
}

// The state of the show for the page and its tests: show time, mode, speed, frames drawn, where
// the sound heard is (negative: none), whether the controls show (and whether a tap hid them)
// and how long nothing moved them, a start or resume waiting for the music, the address's wish to play not yet met,
// whether there is sound, the time and speed as they read, the notice shown, and whether the
// show runs (with the message of a show the address stopped).
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_status() {
    static std::string status;
    const double shown = shownSeconds();
    char numbers[240];
    std::snprintf(numbers, sizeof numbers,
                  "{\"time\": %.3f, \"mode\": %d, \"speed\": %g, \"frames\": %u, \"heard\": %.3f, "
                  "\"controls\": %d, \"tapHid\": %d, \"idle\": %u, \"waiting\": %d, \"asked\": %d, "
                  "\"sound\": %d, ",
                  double(getAnimationTime()), int(gProgramMode), animationSpeed(),
                  lfglFramesPresented(), musicPlayedSeconds(),
                  gControls.shown(platformNow(), playing()) ? 1 : 0, gControls.hiddenByTap() ? 1 : 0,
                  unsigned(gControls.idleFor(platformNow())),
                  gWaiting != waitingFor::nothing ? 1 : 0, gPlayWhenMusicCan ? 1 : 0,
                  sounds ? 1 : 0);
    const std::string clock = stripTimeText(shown, kShowLength);
    const size_t slash = clock.find(" / ");
    status = std::string(numbers) + "\"clock\": \"" + clock + "\", \"spoken\": \"" +
             clock.substr(0, slash) + " of " + clock.substr(slash + 3) + "\", \"speedText\": \"" +
             speedText(animationSpeed()) + "\", \"notice\": \"" + jsonEscaped(statusNotice()) +
             "\", \"state\": \"" + gPageState + "\", \"message\": \"" +
             jsonEscaped(gLaunchMessage) + "\"}";
    return status.c_str();
}

// The help's lines as this program shows them, one a line (the page's help lists them).
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_keys() {
    static std::string keys;
    keys.clear();
    for (const std::string& line : helpLines()) {
        keys += line + "\n";
    }
    return keys.c_str();
}

// The play button, Space, Enter and k; a before the start.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_play_pause() {
    gControls.controlUsed(platformNow());
    playOrPause();
}

// The big button at the opening and the end, and key a: the show from its start.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_start() {
    gControls.controlUsed(platformNow());
    gWaiting = waitingFor::nothing;
    gPlayWhenMusicCan = false;
    if (musicCanFollow()) {
        startShow();
    } else {
        gWaiting = waitingFor::start;
    }
}

// The choice the page offers when the soundtrack cannot be played: the show plays on, silent.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_play_without_music() {
    sounds = 0;
    gWaiting = waitingFor::nothing;
    if (!playing()) {
        playOrPause();
    }
}

// Told by the page's sound once the soundtrack is ready, or cannot be: what waited for it goes
// on; a show the address asked to play plays, if the browser lets sound start unasked (else
// the page offers to play it from there).
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_music_ready() {
    if (!musicCanFollow()) {
        return;
    }
    const waitingFor waited = gWaiting;
    gWaiting = waitingFor::nothing;
    if (waited == waitingFor::start) {
        startShow();
    } else if (waited == waitingFor::resume && gProgramMode == kpmPaused) {
        togglePause();
    } else if (gPlayWhenMusicCan && gProgramMode == kpmPaused) {
        askToPlayUnasked();
    }
}

// The browser let sound start unasked: the show the address asked to play plays, unless the
// visitor has done something with it since.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_play_unasked() {
    if (gPlayWhenMusicCan && gProgramMode == kpmPaused && musicCanFollow()) {
        gPlayWhenMusicCan = false;
        togglePause();
    }
}

// A finger or the mouse's button down on the stage outside the controls: what shows now decides
// what its tap means.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_stage_press() {
    gControls.press(platformNow(), playing());
}

// A tap or click on the stage outside the controls (`touch`: a finger; `onPicture`: on the
// canvas rather than the bars around it), at CSS pixels (x, y).
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_stage_tap(int touch, int onPicture, double x,
                                                         double y) {
    const stageAction action =
        gControls.tap(touch ? stageInput::touch : stageInput::mouse, onPicture != 0, float(x),
                      float(y), platformNow(), playing());
    if (action.playPause) {
        gClickToggledPause = playOrPause();
    }
    if (action.secondClick) {
        if (gClickToggledPause) {
            togglePause(); // its first click acted at once: its pause or resume is undone
        }
        gClickToggledPause = false;
    }
    if (action.fullScreen) {
        platformToggleFullScreen();
    }
}

// The mouse moving over the stage; a control used or let go.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_stage_moved() {
    gControls.pointerMoved(platformNow());
}

extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_control_used() {
    gControls.controlUsed(platformNow());
}

extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_controls_held(int held) {
    gControls.setHeld(held != 0, platformNow());
}

// Where a press at `x` on a timeline `width` CSS pixels wide lands (the page's tests aim with
// it).
extern "C" EMSCRIPTEN_KEEPALIVE double lumenfold_timeline_seconds(double x, double width) {
    return timelineSecondsAt(x, width);
}

// The timeline pressed (phase 0), dragged (1) and let go (2) at `x` of `width`: the picture holds
// still under the drag and follows it, the show plays on from the release if it played before.
// Returns the show time it lands on.
extern "C" EMSCRIPTEN_KEEPALIVE double lumenfold_scrub(int phase, double x, double width) {
    const double seconds = timelineSecondsAt(x, width);
    gControls.controlUsed(platformNow());
    if (phase == 0) {
        gResumeAfterScrub = playing();
        if (gResumeAfterScrub) {
            togglePause();
        }
        jumpTo(seconds);
    } else if (phase == 1) {
        requestJump(seconds);
    } else {
        gJumpPending = false;
        jumpTo(seconds);
        if (gResumeAfterScrub) {
            gResumeAfterScrub = false;
            if (musicCanFollow()) {
                togglePause();
            } else {
                gWaiting = waitingFor::resume;
            }
        }
    }
    return seconds;
}

// The wheel's notches and the timeline's arrow keys: `seconds` forward (back when negative);
// Home and End: a moment.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_step(double seconds) {
    gControls.controlUsed(platformNow());
    jumpTo(currentSeconds() + seconds);
}

extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_jump(double seconds) {
    gControls.controlUsed(platformNow());
    jumpTo(seconds);
}

// The speed button: up through the speeds, from the fastest back to the slowest.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_next_speed() {
    gControls.controlUsed(platformNow());
    setPlaybackSpeed(nextSpeedAround(animationSpeed()));
}
