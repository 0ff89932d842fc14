// The movie renderer: the same AnimateScene and frame drawing as the live show, on a clock
// driven by the frame number, so a movie is the same however fast the machine is.
#include "moviemaker/movie.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "moviemaker/offscreen_frame.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

int32_t gMovieNow = 0;
int32_t movieClock() { return gMovieNow; }

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The player's clock, speed, mode and window size, put back when the render ends.
class playerStateKept {
  public:
    playerStateKept()
        : mode(gProgramMode), speed(animationSpeed()), width(gWindowWidth),
          height(gWindowHeight) {}
    ~playerStateKept() {
        setClockSource(nullptr);
        setAnimationSpeed(speed);
        gWindowWidth = width;
        gWindowHeight = height;
        glViewport(0, 0, gWindowWidth, gWindowHeight);
        gProgramMode = mode;
    }

  private:
    ProgramMode mode;
    double speed;
    short width, height;
};

} // namespace

void movieFrameRange(float from, float to, int fps, int& first, int& last) {
    // Times come as floats (20.4 is 20.3999996): a thousandth of a frame of slack.
    first = int(std::ceil(double(from) * fps - 1e-3));
    // The show ends at 130 s: there is nothing to film after it.
    last = int(std::floor(double(std::min(to, kShowLength)) * fps + 1e-3));
}

void movieFrames(const movieSettings& settings, int& first, int& last) {
    const int fps = std::max(settings.fps, 1);
    movieFrameRange(settings.from, settings.to, fps, first, last);
    if (settings.firstFrame >= 0 && settings.lastFrame >= 0) {
        first = settings.firstFrame;
        last = std::min(settings.lastFrame, int(std::floor(double(kShowLength) * fps + 1e-3)));
    }
}

movieReport renderShowMovie(const movieSettings& settings, movieSink* sinkOverride,
                            const movieHooks& hooks) {
    movieReport report;
    const int fps = std::max(settings.fps, 1), width = settings.width, height = settings.height;
    movieFrames(settings, report.firstFrame, report.lastFrame);
    const int first = report.firstFrame, last = report.lastFrame;
    if (last < first) {
        report.error = "there is nothing to film in that range";
        return report;
    }
    // The frame first: a driver that cannot give it must not leave an output begun.
    offscreenFrame frame(width, height, std::clamp(settings.samples, 1, maximumSamples()));
    report.samples = frame.samples();
    if (!frame.problem().empty()) {
        report.error = frame.problem();
        return report;
    }
    playerStateKept kept;
    // A fresh cast: the movie always shows the show from its beginning, whatever ran before.
    // Built before the output is begun: a ground image that cannot be read ends the program.
    rebuildCast();
    std::unique_ptr<movieSink> ownSink;
    movieSink* sink = sinkOverride;
    if (!sink) {
        ownSink = openMovieSink(settings, first, report.error);
        sink = ownSink.get();
    }
    if (!sink) {
        return report;
    }
    // Filmed at the show's own pace, whatever speed the player was set to.
    setClockSource(movieClock);
    gMovieNow = 0;
    setAnimationSpeed(1);
    resetAnimationTimer();

    std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
    bool failed = false;
    for (int n = 0; n <= last; ++n) {
        gMovieNow = int32_t(std::llround(double(n) * 1000.0 / fps));
        auto renderStart = std::chrono::steady_clock::now();
        if (gProgramMode != kpmFinished) {
            AnimateScene();
        }
        if (n < first) {
            continue; // earlier frames are posed, not drawn: scenes build on what came before
        }
        if (hooks.cancelRequested && hooks.cancelRequested()) {
            report.cancelled = true;
            break;
        }
        gFrameCounter = n;
        frame.bind();
        gWindowWidth = short(width);
        gWindowHeight = short(height);
        glViewport(0, 0, width, height);
        renderShowFrame(movieLook());
        report.renderSeconds += secondsSince(renderStart);

        auto readStart = std::chrono::steady_clock::now();
        frame.readInto(pixels.data());
        report.readbackSeconds += secondsSince(readStart);

        auto encodeStart = std::chrono::steady_clock::now();
        if (!sink->writeFrame(pixels.data())) {
            failed = true;
            break;
        }
        report.encodeSeconds += secondsSince(encodeStart);
        ++report.frames;
        if (hooks.frameDone) {
            hooks.frameDone(frame.name(), width, height, report.frames, last - first + 1);
        }
    }

    if (report.cancelled || failed) {
        sink->cancel();
    } else {
        auto encodeStart = std::chrono::steady_clock::now();
        report.completed = sink->finish();
        report.encodeSeconds += secondsSince(encodeStart);
    }
    if (!report.completed && !report.cancelled) {
        report.error = sink->failure().empty() ? "the output could not be written"
                                               : sink->failure();
    }
    return report;
}
