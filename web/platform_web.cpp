// The browser platform: the clock on the page's monotonic clock (performance.now), the data
// preloaded into the module's file system under resources/, the window as a canvas that fills
// the page, keys taken by the characters they type, and a status the page and its tests read.
#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <cstdio>
#include <string>

extern "C" unsigned lfglFramesPresented(void);

namespace {

// The browser's GLUT reads keys by their key codes, as typed on a US keyboard, and gives
// Backspace as a special key. The show's keys are characters: take them from what the key types
// (any layout), and Escape, Backspace, Enter and Tab as their control characters.
void takeKeysByCharacter() {
    EM_ASM({
        var specialKey = GLUT.getSpecialKey;
        GLUT.getSpecialKey = function(keyCode) { return keyCode == 8 ? null : specialKey(keyCode); };
        GLUT.getASCIIKey = function(event) {
            if (event.ctrlKey || event.altKey || event.metaKey) return null;
            if (event.key && event.key.length == 1) {
                var code = event.key.charCodeAt(0);
                return code < 256 ? code : null;
            }
            switch (event.key) {
            case 'Escape': return 27;
            case 'Backspace': return 8;
            case 'Enter': return 13;
            case 'Tab': return 9;
            }
            return null;
        };
    });
}

// A new size clears the canvas, and the browser's GLUT only reshapes: draw the picture again, as
// the desktop's window system asks for after a reshape (a paused show would stay blank).
void redrawAfterResizing() {
    EM_ASM({
        Browser.resizeListeners.push(function() { _glutPostRedisplay(); });
    });
}

} // namespace

void platformInitialise() {
    takeKeysByCharacter();
    redrawAfterResizing();
    systemAudioBackend(); // the soundtrack is fetched and decoded while the page starts
}

void platformWindup() { shutdownMusic(); }

// A page cannot close itself: Escape and q stop the sound and take every callback from the
// browser's GLUT, so nothing moves or answers keys any more, and the page says how to see the
// show again.
void platformEndProgram() {
    platformWindup();
    EM_ASM({
        GLUT.idleFunc = 0;
        GLUT.displayFunc = 0;
        GLUT.keyboardFunc = 0;
        GLUT.specialFunc = 0;
        GLUT.reshapeFunc = 0;
        if (Module.onShowStopped) Module.onShowStopped();
    });
}

int32_t platformClockMilliseconds() {
    // Kept to 32 bits like the tick counts; differences stay right across the wrap.
    return int32_t(uint32_t(uint64_t(emscripten_get_now())));
}

std::string platformResourceDirectory() { return "resources"; }

int platformChooseDisplayMode(int samples) {
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | (samples > 1 ? GLUT_MULTISAMPLE : 0));
    return samples > 1 ? samples : 1;
}

extern "C" void glutCloseFunc(void (*)(void)) {}

// The browser's GLUT can enter full screen but has no call to leave it.
void platformToggleFullScreen() {
    if (platformFullScreen()) {
        EM_ASM({ Browser.exitFullscreen(); });
    } else {
        glutFullScreen();
    }
}

bool platformFullScreen() {
    return EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }) != 0;
}

// The state of the show for the page (its hint line) and the browser tests: show time, mode,
// speed, frames drawn, where the sound heard is (negative: none) and the notice shown.
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_status() {
    static std::string status;
    std::string notice;
    for (const char* c = statusNotice(); *c; ++c) {
        if (*c == '"' || *c == '\\') {
            notice += '\\';
        }
        notice += *c;
    }
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "{\"time\": %.3f, \"mode\": %d, \"speed\": %g, \"frames\": %u, \"heard\": %.3f, ",
                  double(getAnimationTime()), int(gProgramMode), animationSpeed(),
                  lfglFramesPresented(), musicPlayedSeconds());
    status = std::string(numbers) + "\"notice\": \"" + notice + "\"}";
    return status.c_str();
}
