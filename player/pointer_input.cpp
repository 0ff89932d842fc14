// The pointer entry: GLUT's mouse events to the pointer's logic, and its commands to playback.
// A scrub's drag may bring many positions between two frames; only the last is posed, by a timer
// that runs once the queued events are taken: a pose of a late moment poses every frame before it.
#include "player/pointer_input.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/overlays.h"
#include "player/playback.h"

#include <GL/freeglut.h>

#include <algorithm>

namespace {

const int kWheelUp = 3, kWheelDown = 4;

pointerTracker gPointer;
bool gTickPending = false;
bool gCursorHidden = false;
float gShownOpacity = 0;         // the strip's opacity in the last frame drawn
bool gClickToggledPause = false; // whether the last click on the picture paused or resumed
bool gResumeAfterScrub = false;
bool gJumpPending = false;
double gJumpSeconds = 0;

// GLUT counts rows from the top; the strip is laid out from the bottom.
float fromBottom(int y) {
    return float(gWindowHeight - 1 - y);
}

// From the opening screen or after the end the show starts, as a does; otherwise p's pause and
// resume. True when it paused or resumed.
bool startOrTogglePause() {
    if (gProgramMode == kpmAtStart || gProgramMode == kpmFinished) {
        startShow();
        return false;
    }
    togglePause();
    return true;
}

void jumpToPending(int) {
    if (gJumpPending) {
        gJumpPending = false;
        jumpTo(gJumpSeconds);
    }
}

void requestJump(double seconds) {
    gJumpSeconds = seconds;
    if (!gJumpPending) {
        gJumpPending = true;
        glutTimerFunc(0, jumpToPending, 0);
    }
}

void pressStripPart(stripPart part) {
    switch (part) {
    case stripPart::playPause:
        startOrTogglePause();
        break;
    case stripPart::speed:
        setPlaybackSpeed(nextSpeedAround(animationSpeed()));
        break;
    case stripPart::fullScreen:
        platformToggleFullScreen();
        break;
    case stripPart::help:
        toggleHelp();
        break;
    default:
        break;
    }
}

void startScrub(double seconds) {
    // The picture holds still under the drag; the sound comes back on release.
    gResumeAfterScrub = gProgramMode == kpmAnimating;
    if (gResumeAfterScrub) {
        togglePause();
    }
    jumpTo(seconds);
}

void endScrub(double seconds) {
    gJumpPending = false;
    jumpTo(seconds);
    if (gResumeAfterScrub) {
        togglePause();
    }
    gResumeAfterScrub = false;
}

void act(const pointerCommand& command) {
    switch (command.what) {
    case pointerCommand::none:
        return;
    case pointerCommand::clickPicture:
        gClickToggledPause = startOrTogglePause();
        break;
    case pointerCommand::doubleClickPicture:
        // Its first click acted at once; a pause or resume it made is undone.
        if (gClickToggledPause) {
            togglePause();
        }
        gClickToggledPause = false;
        platformToggleFullScreen();
        break;
    case pointerCommand::pressPart:
        pressStripPart(command.part);
        break;
    case pointerCommand::scrubStart:
        startScrub(command.seconds);
        break;
    case pointerCommand::scrubMove:
        requestJump(command.seconds);
        break;
    case pointerCommand::scrubEnd:
        endScrub(command.seconds);
        break;
    case pointerCommand::wheelStep:
        jumpTo(currentSeconds() + command.seconds);
        break;
    }
    glutPostRedisplay(); // the strip shows the new state even while paused
}

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
    act(command);
    redrawIfFaded();
}

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
    gJumpPending = false;
    gResumeAfterScrub = false;
    gClickToggledPause = false;
}

void keepPointerInStep() {
    const int32_t now = pointerNow();
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
