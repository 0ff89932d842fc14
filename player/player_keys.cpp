// The player's keys: each one asks playback, the overlays or the screenshot unit to act.
#include "player/player_keys.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_logic.h"
#include "player/screenshot.h"

#include <GL/freeglut.h>

namespace {
const double kJumpSeconds = 5;
const unsigned char kBackspace = 8;
} // namespace

bool playerKeyPress(unsigned char key) {
    if (gProgramMode == kpmMakingMovie) {
        return false;
    }
    switch (key) {
    case ',':
    case '.':
        stepFrame(key == '.' ? 1 : -1);
        return true;
    case '<':
    case '>':
        jumpTo(currentSeconds() + (key == '>' ? kJumpSeconds : -kJumpSeconds));
        return true;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
        jumpTo(kSceneStarts[key - '1']);
        return true;
    case '[':
        setPlaybackSpeed(slowerSpeed(animationSpeed()));
        return true;
    case ']':
        setPlaybackSpeed(fasterSpeed(animationSpeed()));
        return true;
    case kBackspace:
        setPlaybackSpeed(1);
        return true;
    case 'h':
    case '?':
        toggleHelp();
        return true;
    case 's':
        saveScreenshot();
        return true;
    default:
        return false;
    }
}

bool playerSpecialKeyPress(int key) {
    if (gProgramMode == kpmMakingMovie) {
        return false;
    }
    switch (key) {
    case GLUT_KEY_PAGE_UP:
        jumpTo(previousSceneStart(currentSeconds()));
        return true;
    case GLUT_KEY_PAGE_DOWN:
        jumpTo(nextSceneStart(currentSeconds()));
        return true;
    case GLUT_KEY_F11: // the full-screen key of desktop programs and browsers, as f
        platformToggleFullScreen();
        return true;
    default:
        return false;
    }
}
