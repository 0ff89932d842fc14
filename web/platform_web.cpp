// The browser platform: the clock on the page's monotonic clock (performance.now), the data
// preloaded into the module's file system under resources/, the window as a canvas that fills
// the page, keys taken by the characters they type, and a status the page and its tests read.
#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/overlays.h"
#include "player/pointer.h"
#include "player/pointer_input.h"
#include "web/page_status.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <cstdio>
#include <string>

extern "C" unsigned lfglFramesPresented(void);

// The browser's GLUT hands the motion callbacks the position of the movement before, so a
// drag's picture trails the pointer by one event. This takes the place of its handler (before
// glutInit registers it) and hands on where the pointer is.
EM_JS(void, reportMotionWhereThePointerIs, (), {
    GLUT.onMousemove = function(event) {
        var lastX = Browser.mouseX, lastY = Browser.mouseY;
        Browser.calculateMouseEvent(event);
        var x = Browser.mouseX, y = Browser.mouseY;
        if (x == lastX && y == lastY) return;
        var callback = 0;
        if (GLUT.buttons == 0 && event.target == Module.canvas) {
            callback = GLUT.passiveMotionFunc;
        } else if (GLUT.buttons != 0) {
            callback = GLUT.motionFunc;
        }
        if (!callback) return;
        event.preventDefault();
        GLUT.saveModifiers(event);
        getWasmTableEntry(callback)(x, y);
    };
});

// Its wheel handler also takes the sign of 'mousewheel' (Chrome, Safari) the wrong way round,
// so turning the wheel up arrived as button 4 (down). Up is 3 and down 4, as GLUT has it.
EM_JS(void, reportTheWheelTheRightWayUp, (), {
    GLUT.onMouseWheel = function(event) {
        Browser.calculateMouseEvent(event);
        var turn = event.type == 'DOMMouseScroll' ? -event.detail : event.wheelDelta;
        if (!turn || !GLUT.mouseFunc) return;
        event.preventDefault();
        GLUT.saveModifiers(event);
        getWasmTableEntry(GLUT.mouseFunc)(turn > 0 ? 3 : 4, 0, Browser.mouseX, Browser.mouseY);
    };
});

namespace {

// "running" until the show stops: "refused" or "exited" (the address stopped it before it ran,
// with gLaunchMessage saying why or what was asked for), "stopped" after Escape or q.
const char* gPageState = "running";
std::string gLaunchMessage;

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

// The browser's GLUT turns touches on the canvas into mouse events for the same callbacks
// (touchstart, touchmove, touchend as a press, a drag and a release of the left button), but
// not a touch the browser cancels (a system gesture): that ends as a release where the finger
// was, so no button stays held.
void releaseCancelledTouches() {
    EM_ASM({
        window.addEventListener('touchcancel', function(event) {
            var touch = event.changedTouches[0];
            if (!touch || !GLUT.buttons) return;
            var release = new MouseEvent('mouseup', {bubbles: true, cancelable: true,
                                                     clientX: touch.clientX, clientY: touch.clientY,
                                                     screenX: touch.screenX, screenY: touch.screenY});
            Module.canvas.dispatchEvent(release);
        }, true);
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
    reportMotionWhereThePointerIs();
    reportTheWheelTheRightWayUp();
    releaseCancelledTouches();
    redrawAfterResizing();
    systemAudioBackend(); // the soundtrack is fetched and decoded while the page starts
}

void platformWindup() { shutdownMusic(); }

void reportLaunchStop(const launchStop& stop) {
    gPageState = stop.refused ? "refused" : "exited";
    gLaunchMessage = stop.message;
}

// A page cannot close itself: Escape and q stop the sound and take every callback from the
// browser's GLUT, so nothing moves or answers keys, clicks or touches any more, and the page
// says how to see the show again.
void platformEndProgram() {
    gPageState = "stopped";
    platformWindup();
    EM_ASM({
        GLUT.idleFunc = 0;
        GLUT.displayFunc = 0;
        GLUT.keyboardFunc = 0;
        GLUT.specialFunc = 0;
        GLUT.reshapeFunc = 0;
        GLUT.mouseFunc = 0;
        GLUT.motionFunc = 0;
        GLUT.passiveMotionFunc = 0;
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

// The module's own file system (no report file is asked for in a page, but the code is shared).
bool platformReplaceFile(const std::string& made, const std::string& name) {
    return std::rename(made.c_str(), name.c_str()) == 0;
}

// The state of the show for the page (its hint line) and the browser tests: show time, mode,
// speed, frames drawn, where the sound heard is (negative: none), the control strip's opacity,
// the notice shown, and whether the show runs (with the message of a show the address
// stopped).
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_status() {
    static std::string status;
    char numbers[160];
    std::snprintf(numbers, sizeof numbers,
                  "{\"time\": %.3f, \"mode\": %d, \"speed\": %g, \"frames\": %u, \"heard\": %.3f, ",
                  double(getAnimationTime()), int(gProgramMode), animationSpeed(),
                  lfglFramesPresented(), musicPlayedSeconds());
    char strip[48];
    std::snprintf(strip, sizeof strip, "\"strip\": %g, ",
                  double(pointerState().stripOpacity(pointerNow())));
    status = std::string(numbers) + strip + "\"notice\": \"" + jsonEscaped(statusNotice()) +
             "\", \"state\": \"" + gPageState + "\", \"message\": \"" +
             jsonEscaped(gLaunchMessage) + "\"}";
    return status.c_str();
}

// The help's lines as this program shows them, one a line (the page's tests read them).
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_keys() {
    static std::string keys;
    keys.clear();
    for (const std::string& line : helpLines()) {
        keys += line + "\n";
    }
    return keys.c_str();
}

// The show's proportions (width over height), which the page keeps at any window shape.
extern "C" EMSCRIPTEN_KEEPALIVE double lumenfold_show_aspect() {
    return double(kWindowWidth) / double(kWindowHeight);
}

// Where the control strip's timeline lies in the window (pixels from the lower left, as the
// strip is laid out), the show's length and its scene marks: the page's tests point at them.
extern "C" EMSCRIPTEN_KEEPALIVE const char* lumenfold_timeline() {
    static std::string timeline;
    const stripLayout layout = layoutStrip(gWindowWidth);
    char text[160];
    std::snprintf(text, sizeof text,
                  "{\"left\": %g, \"right\": %g, \"y\": %g, \"length\": %g, \"marks\": [",
                  double(layout.timeline.left), double(layout.timeline.right),
                  double(layout.trackBottom + layout.trackTop) / 2, double(kShowLength));
    timeline = text;
    for (double start : kSceneStarts) {
        std::snprintf(text, sizeof text, "%s%g", timeline.back() == '[' ? "" : ", ", start);
        timeline += text;
    }
    timeline += "]}";
    return timeline.c_str();
}
