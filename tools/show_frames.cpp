// Renders chosen moments of the show to PNG files and a contact sheet of them, headless (run it
// under Xvfb from the repository's root). The show is stepped at 25 frames per second on a
// controllable clock from 0 s, so every frame is posed exactly as the live show poses it.
//
//   show_frames OUTPUT_DIR [SECONDS ...]
#include "common/picture.h"
#include "basicsource/frame.h"
#include "basicsource/program_state.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int32_t gFrameClock = 0;
int32_t frameClock() { return gFrameClock; }
const int kFramesPerSecond = 25;

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: show_frames OUTPUT_DIR [SECONDS ...]\n");
        return 2;
    }
    std::string outDir = argv[1];
    std::vector<int> frames;
    for (int i = 2; i < argc; ++i) {
        frames.push_back(int(std::lround(std::atof(argv[i]) * kFramesPerSecond)));
    }
    if (frames.empty()) {
        for (int seconds : {0, 10, 20, 30, 40, 47, 60, 75, 84, 95, 110, 125}) {
            frames.push_back(seconds * kFramesPerSecond);
        }
    }
    std::sort(frames.begin(), frames.end());

    platformInitialise();
    openShowWindow("Lumenfold frames");
    ResizeWindow(gWindowWidth, gWindowHeight);
    setClockSource(frameClock);
    ConstructScene();
    InitScene();
    resetAnimationTimer();
    gProgramMode = kpmAnimating;

    const int columns = 4, factor = 3;
    int rows = (int(frames.size()) + columns - 1) / columns;
    picture sheet;
    sheet.width = columns * kWindowWidth / factor;
    sheet.height = rows * kWindowHeight / factor;
    sheet.rgb.assign(size_t(sheet.width) * sheet.height * 3, 0);

    int frame = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        for (; frame <= frames[i]; ++frame) {
            gFrameClock = frame * 1000 / kFramesPerSecond;
            AnimateScene();
        }
        renderFrame();
        picture p = readBackBuffer(kWindowWidth, kWindowHeight);
        char name[64];
        std::snprintf(name, sizeof name, "/frame-%06.2f.png", double(frames[i]) / kFramesPerSecond);
        if (!savePng(p, outDir + name)) {
            std::fprintf(stderr, "show_frames: cannot write %s%s\n", outDir.c_str(), name);
            return 1;
        }
        int column = int(i) % columns, row = rows - 1 - int(i) / columns;
        paste(sheet, shrink(p, factor), column * kWindowWidth / factor,
              row * kWindowHeight / factor);
    }
    if (!savePng(sheet, outDir + "/contact-sheet.png")) {
        std::fprintf(stderr, "show_frames: cannot write the contact sheet\n");
        return 1;
    }
    return 0;
}
