// The browser platform: the clock on the page's monotonic clock (performance.now), the data
// preloaded into the module's file system under resources/, the window as a canvas the page
// sizes, keys taken by the characters they type, and full screen as the page's. The pointer is
// the page's (its HTML controls and stage, web/page/page.js, through web/page_calls.cpp): the
// browser's GLUT gets no mouse or touch events.
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "player/playback.h"
#include "web/page_status.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <cstdio>
#include <string>

// The browser's GLUT reads keys by their key codes, as typed on a US keyboard, takes every
// function key and Tab, and prevents what the browser would do with them. The show's keys are
// characters: take them from what the key types (any layout), Backspace as its control
// character, and of the special keys only those the show uses (arrows, Page Up and Down).
// Everything else, and any key with Ctrl, Alt or Meta, stays the browser's (Tab, F5, F11, its
// shortcuts); Escape is the page's (it leaves full screen or the help).
EM_JS(void, takeKeysByCharacter, (), {
    var showsSpecialKeys = [33, 34, 37, 38, 39, 40]; // Page Up, Page Down, the arrows
    var specialKey = GLUT.getSpecialKey;
    GLUT.getSpecialKey = function(keyCode) {
        return showsSpecialKeys.indexOf(keyCode) >= 0 ? specialKey(keyCode) : null;
    };
    GLUT.getASCIIKey = function(event) {
        if (event.key && event.key.length == 1) {
            var code = event.key.charCodeAt(0);
            return code < 256 ? code : null;
        }
        return event.key == 'Backspace' ? 8 : null;
    };
    function leftToTheBrowser(handler) {
        return function(event) {
            if (event.ctrlKey || event.altKey || event.metaKey) return;
            handler(event);
        };
    }
    GLUT.onKeydown = leftToTheBrowser(GLUT.onKeydown);
    GLUT.onKeyup = leftToTheBrowser(GLUT.onKeyup);
});

// The page's controls and stage take the pointer (mouse and touch) and ask the show through its
// calls; the browser's GLUT would act on the same events, so its handlers are left empty before
// glutInit installs them. Its full screen would take the canvas alone, without the page's
// controls: the page's full screen (the whole stage) stands in for it.
EM_JS(void, leavePointerAndFullScreenToThePage, (), {
    var nothing = function() {};
    GLUT.onMousemove = nothing;
    GLUT.onMouseButtonDown = nothing;
    GLUT.onMouseButtonUp = nothing;
    GLUT.onMouseWheel = nothing;
    GLUT.touchHandler = nothing;
    GLUT.onFullscreenEventChange = nothing;
    Browser.requestFullscreen = function() { Module.setFullScreen(true); };
    Browser.exitFullscreen = function() { Module.setFullScreen(false); };
});

// A new size clears the canvas, and the browser's GLUT only reshapes: draw the picture again, as
// the desktop's window system asks for after a reshape (a paused show would stay blank).
EM_JS(void, redrawAfterResizing, (), {
    Browser.resizeListeners.push(function() { _glutPostRedisplay(); });
});

void platformInitialise() {
    takeKeysByCharacter();
    leavePointerAndFullScreenToThePage();
    redrawAfterResizing();
    if (sounds) {
        fetchSoundtrack(); // fetched and decoded while the opening picture shows
    }
}

void platformWindup() { shutdownMusic(); }

// A page cannot close its tab: q (Escape is the page's) takes the show back to its opening
// screen, from where it can start again.
void platformEndProgram() { returnToOpening(); }

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

void platformToggleFullScreen() {
    EM_ASM({ Module.setFullScreen(!document.fullscreenElement); });
}

bool platformFullScreen() {
    return EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }) != 0;
}

bool platformShowsControlStrip() { return false; }

// The module's own file system (no report file is asked for in a page, but the code is shared).
bool platformReplaceFile(const std::string& made, const std::string& name) {
    return std::rename(made.c_str(), name.c_str()) == 0;
}

bool platformEndsOnQuit() { return false; }
