// The progress of a render in words; see movie_progress.h.
#include "moviemaker/movie_progress.h"

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdio>

namespace {

// The live line is drawn at most this often: a few times a second.
const double kRedrawSeconds = 0.25;

std::string clockTime(double seconds) {
    const long whole = long(std::lround(std::max(seconds, 0.0)));
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    }
    return text;
}

} // namespace

std::string describeProgress(int done, int total, double elapsedSeconds) {
    const int percent = total > 0 ? int(int64_t(done) * 100 / total) : 100;
    char text[160];
    int length = std::snprintf(text, sizeof text, "frame %d of %d (%d%%)", done, total, percent);
    if (done > 0 && elapsedSeconds > 0) {
        const double rate = done / elapsedSeconds;
        std::snprintf(text + length, sizeof text - size_t(length),
                      ", %.1f frames a second, %s left", rate,
                      clockTime((total - done) / rate).c_str());
    }
    return text;
}

movieProgress::movieProgress(int totalFrames, bool terminal, double startSeconds)
    : total(totalFrames), terminal(terminal), start(startSeconds) {}

std::string movieProgress::update(int done, double now) {
    if (done <= 0 || total <= 0) {
        return "";
    }
    const std::string line = describeProgress(done, total, now - start);
    if (terminal) {
        // Drawn when it changed and the last drawing is old enough, and always at the end.
        const bool due = lastShown < 0 || now - lastShown >= kRedrawSeconds || done == total;
        if (!due || done == lastDone) {
            return "";
        }
        lastShown = now;
        lastDone = done;
        return "\r" + line + "\033[K";
    }
    const int tenths = int(int64_t(done) * 10 / total);
    if (tenths <= tenthsShown) {
        return "";
    }
    tenthsShown = tenths;
    return "lumenfold-movie: " + line + "\n";
}

std::string movieProgress::finish() const {
    return terminal && lastShown >= 0 ? "\r\033[K" : "";
}
