// The report file: written after each frame the window shows, from the state the frame was
// drawn in, so "paused" in it means that a paused picture is in the window. Only the file's
// replacement is the platform's (platformReplaceFile).
#include "player/run_report.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/playback.h"
#include "player/pointer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

std::string gReportFile;
unsigned long gDraws = 0;

long wholePixels(float value) { return std::lround(double(value)); }

void writeReport() {
    const std::string made = gReportFile + ".new";
    const std::string text = formatRunReport(currentRunState(gDraws)) + "\n";
    FILE* out = std::fopen(made.c_str(), "w");
    bool written = out && std::fputs(text.c_str(), out) >= 0;
    written = out && std::fclose(out) == 0 && written;
    if (!written || !platformReplaceFile(made, gReportFile)) {
        std::remove(made.c_str());
        std::fprintf(stderr, "lumenfold: the report file %s cannot be written; no more reports\n",
                     gReportFile.c_str());
        setFrameShownHook(nullptr);
    }
}

void frameShown() {
    ++gDraws;
    writeReport();
}

} // namespace

const char* modeName(ProgramMode mode) {
    switch (mode) {
    case kpmAtStart:
        return "at-start";
    case kpmAnimating:
        return "playing";
    case kpmMakingMovie:
        return "making-movie";
    case kpmPaused:
        return "paused";
    case kpmFinished:
        return "finished";
    }
    return "unknown";
}

std::string formatRunReport(const runState& state) {
    const stripLayout layout = layoutStrip(state.windowWidth);
    // The layout counts rows up from the bottom and holds bottom up to, not including, top.
    const long left = wholePixels(layout.timeline.left), right = wholePixels(layout.timeline.right);
    const long bottom = wholePixels(layout.trackBottom), top = wholePixels(layout.trackTop);
    char text[256];
    std::snprintf(text, sizeof text,
                  "mode %s time %.3f frames %ld draws %lu clock %ld heard %.3f length %.3f "
                  "timeline %ldx%ld+%ld+%ld",
                  modeName(state.mode), state.showSeconds, state.frames, state.draws, state.clock,
                  state.heardSeconds, double(kShowLength), right - left, top - bottom, left,
                  state.windowHeight - top);
    std::string line = text;
    line += " notice ";
    for (char c : state.notice) {
        line += c == '\n' || c == '\r' ? ' ' : c;
    }
    return line;
}

runState currentRunState(unsigned long draws) {
    runState state;
    state.mode = gProgramMode;
    state.showSeconds = currentSeconds();
    state.frames = gFrameCounter;
    state.draws = draws;
    state.clock = platformNow();
    state.heardSeconds = musicPlayedSeconds();
    state.windowWidth = gWindowWidth;
    state.windowHeight = gWindowHeight;
    state.notice = statusNotice();
    return state;
}

void startRunReport() {
    const char* file = std::getenv("LUMENFOLD_REPORT");
    gReportFile = file ? file : "";
    gDraws = 0;
    setFrameShownHook(gReportFile.empty() ? nullptr : frameShown);
}
