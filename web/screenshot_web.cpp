// Key s in the browser: the picture without overlays, offered as a download named as the
// desktop names its screenshots (lumenfold-084.00s.png); the browser numbers repeated names.
// Compiled like the show's sources, through the GL layer (web/gl/names.h), whose picture it
// reads. The status line says "Saved" once the browser has the file.
#include "player/screenshot.h"

#include "basicsource/frame.h"
#include "basicsource/program_state.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_logic.h"

#include <GL/freeglut.h>
#include <emscripten.h>

#include <vector>

namespace {
std::string gOffered; // the name of the picture being offered
} // namespace

// Called by the page when the picture has become a file, or could not.
extern "C" EMSCRIPTEN_KEEPALIVE void lumenfold_screenshot_offered(int ok) {
    showNotice(ok ? "Saved " + gOffered + " (downloaded)" : "Cannot offer the screenshot for download");
}

// Rows come bottom-up from GL; the page's 2D canvas wants them top-down. The PNG is made
// asynchronously: its end is told to lumenfold_screenshot_offered.
EM_JS(bool, offerPicture, (const unsigned char* rgb, int width, int height, const char* name), {
    try {
        var canvas = document.createElement('canvas');
        canvas.width = width;
        canvas.height = height;
        var context = canvas.getContext('2d');
        var image = context.createImageData(width, height);
        for (var y = 0; y < height; ++y) {
            var from = rgb + (height - 1 - y) * width * 3, to = y * width * 4;
            for (var x = 0; x < width; ++x) {
                image.data[to + 4 * x] = HEAPU8[from + 3 * x];
                image.data[to + 4 * x + 1] = HEAPU8[from + 3 * x + 1];
                image.data[to + 4 * x + 2] = HEAPU8[from + 3 * x + 2];
                image.data[to + 4 * x + 3] = 255;
            }
        }
        context.putImageData(image, 0, 0);
        var fileName = UTF8ToString(name);
        canvas.toBlob(function(blob) {
            if (!blob) {
                Module._lumenfold_screenshot_offered(0);
                return;
            }
            var link = document.createElement('a');
            link.href = URL.createObjectURL(blob);
            link.download = fileName;
            document.body.appendChild(link);
            link.click();
            link.remove();
            setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
            Module._lumenfold_screenshot_offered(1);
        }, 'image/png');
        return true;
    } catch (error) {
        return false;
    }
});

std::string saveScreenshot() {
    const double seconds = currentSeconds();
    renderShowFrame(screenshotLook());
    std::vector<unsigned char> rgb(size_t(gWindowWidth) * size_t(gWindowHeight) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, gWindowWidth, gWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glutPostRedisplay(); // the page gets its overlays back with the next frame

    const std::string path = screenshotFileName(seconds);
    gOffered = path.substr(path.rfind('/') + 1);
    if (!offerPicture(rgb.data(), gWindowWidth, gWindowHeight, gOffered.c_str())) {
        showNotice("Cannot offer the screenshot for download");
        return "";
    }
    return gOffered;
}

std::string screenshotDestination() { return "as a download"; }
