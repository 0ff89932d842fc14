// The pointer entry: GLUT's mouse events to the pointer's logic (pointer.cpp), whose rules act on
// playback through the player below; and the cursor and the strip's fading kept in step.
#include "player/pointer_input.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "player/overlays.h"
#include "player/playback.h"

#include <GL/freeglut.h>

#include <algorithm>

namespace {

const int kWheelUp = 3, kWheelDown = 4;

pointerTracker gPointer;
pointerRules gRules;
bool gTickPending = false;
bool gCursorHidden = false;
float gShownOpacity = 0; // the strip's opacity in the last frame drawn
bool gJumpPending = false;
double gJumpSeconds = 0;

// GLUT counts rows from the top; the strip is laid out from the bottom.
float fromBottom(int y) {
    return float(gWindowHeight - 1 - y);
}

void jumpToPending(int) {
    if (gJumpPending) {
        gJumpPending = false;
        jumpTo(gJumpSeconds);
    }
}

// The pointer's rules acting on playback.
class playbackPlayer : public pointerPlayer {
  public:
    state current() const override {
        switch (gProgramMode) {
        case kpmAnimating:
            return state::playing;
        case kpmPaused:
            return state::paused;
        case kpmAtStart:
            return state::opening;
        default:
            return state::finished;
        }
    }
    double seconds() const override { return currentSeconds(); }
    double speed() const override { return animationSpeed(); }
    void startShow() override { ::startShow(); }
    void togglePause() override { ::togglePause(); }
    void jumpTo(double seconds) override {
        gJumpPending = false;
        ::jumpTo(seconds);
    }
    // A drag may bring many positions between two frames; only the last is posed, by a timer
    // that runs once the queued events are taken: a pose of a late moment poses every frame
    // before it.
    void jumpSoon(double seconds) override {
        gJumpSeconds = seconds;
        if (!gJumpPending) {
            gJumpPending = true;
            glutTimerFunc(0, jumpToPending, 0);
        }
    }
    void setSpeed(double speed) override { setPlaybackSpeed(speed); }
    void toggleFullScreen() override { platformToggleFullScreen(); }
    void toggleHelp() override { ::toggleHelp(); }
};

playbackPlayer gPlayer;

// The strip drawn again when its opacity is not what the window shows.
void redrawIfFaded() {
    if (gPointer.stripOpacity(pointerNow()) != gShownOpacity) {
        glutPostRedisplay();
    }
    keepPointerInStep();
}

// One timer at a time follows the strip's fading.
void tick(int) {
    gTickPending = false;
    redrawIfFaded();
}

void handled(const pointerCommand& command) {
    if (command.what != pointerCommand::none) {
        gRules.act(command, gPlayer);
        glutPostRedisplay(); // the strip shows the new state even while paused
    }
    redrawIfFaded();
}

// While a movie renders the window is the movie's; a gesture begun before it ended with it
// (forgetPointer).
bool ignored() {
    return gProgramMode == kpmMakingMovie;
}

} // namespace

const pointerTracker& pointerState() {
    return gPointer;
}

int32_t pointerNow() {
    return platformNow();
}

void forgetPointer() {
    gPointer = pointerTracker();
    gRules.forget();
    gJumpPending = false;
}

void keepPointerInStep() {
    const int32_t now = pointerNow();
    gPointer.noteTime(now);
    gShownOpacity = gPointer.stripOpacity(now);
    const bool hide = gPointer.cursorHidden(now, platformFullScreen());
    if (hide != gCursorHidden) {
        glutSetCursor(hide ? GLUT_CURSOR_NONE : GLUT_CURSOR_INHERIT);
        gCursorHidden = hide;
    }
    const int32_t wait = gPointer.nextChangeIn(now);
    if (wait >= 0 && !gTickPending) {
        gTickPending = true;
        glutTimerFunc(unsigned(std::max<int32_t>(wait, 1)), tick, 0);
    }
}

void pointerButton(int button, int state, int x, int y) {
    if (ignored()) {
        return;
    }
    gPointer.setWindow(gWindowWidth, gTextOn);
    const float px = float(x), py = fromBottom(y);
    const int32_t now = pointerNow();
    pointerCommand command;
    if (button == kWheelUp || button == kWheelDown) {
        // The desktop's GLUT reports a release after each step too, the browser's does not.
        if (state == GLUT_DOWN) {
            command = gPointer.wheel(button == kWheelUp ? 1 : -1, px, py, now);
        }
    } else if (button == GLUT_LEFT_BUTTON) {
        command = state == GLUT_DOWN ? gPointer.press(px, py, now) : gPointer.release(px, py, now);
    } else {
        command = gPointer.move(px, py, now);
    }
    handled(command);
}

void pointerMotion(int x, int y) {
    if (ignored()) {
        return;
    }
    gPointer.setWindow(gWindowWidth, gTextOn);
    handled(gPointer.move(float(x), fromBottom(y), pointerNow()));
}

void pointerPassiveMotion(int x, int y) {
    pointerMotion(x, y);
}
