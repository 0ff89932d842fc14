// Screenshots are written under a hidden name of their own and then given the first free
// numbered name in one step, so neither a failed write nor a file that appears meanwhile
// (another copy of the program, a user) is ever replaced.
#include "player/screenshot.h"

#include "basicsource/files.h"
#include "basicsource/frame.h"
#include "basicsource/program_state.h"
#include "common/picture.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_logic.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <string>

namespace {

const int kMostAttempts = 999;

std::string publish(const std::string& made, double seconds) {
    for (int attempt = 1; attempt <= kMostAttempts; ++attempt) {
        std::string name = screenshotFileName(seconds, attempt);
        if (publishAsNew(made, name)) {
            return name;
        }
    }
    return "";
}

} // namespace

std::string saveScreenshot() {
    const double seconds = currentSeconds();
    renderShowFrame(screenshotLook());
    picture shot = readBackBuffer(gWindowWidth, gWindowHeight);
    glutPostRedisplay(); // the window gets its overlays back with the next frame

    std::string made, name;
    if (makeDirectories(kScreenshotFolder)) {
        made = makeHiddenFile(kScreenshotFolder, "lumenfold-screenshot");
    }
    if (!made.empty() && savePng(shot, made)) {
        name = publish(made, seconds);
    }
    if (!made.empty() && name.empty()) {
        std::remove(made.c_str()); // not published: the hidden file goes
    }
    if (name.empty()) {
        showNotice("Cannot write the screenshot into " + shownPath(std::string(kScreenshotFolder) + "/"));
        return "";
    }
    showNotice("Saved " + shownPath(name));
    return name;
}

std::string screenshotDestination() { return "into " + std::string(kScreenshotFolder) + "/"; }
