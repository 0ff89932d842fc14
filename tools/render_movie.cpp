// lumenfold-movie: renders the show to a movie without anyone at the keyboard, the same frames
// as key `m` makes, at any size, anti-aliased, in several processes side by side; or joins
// parts rendered elsewhere. Needs an X display (tools/render-movie starts Xvfb). Prints how
// long the parts of the work took, and the processor time used, on standard error.
//
//   lumenfold-movie [--from S] [--to S] [--fps N] [--size WxH] [--aa N] [--crf N] [--jobs N]
//                   [--output PATH]
//   lumenfold-movie --join PART... --output PATH
// A parallel render's parts run this program with --first-frame, --last-frame, --chunks-into.
#include "basicsource/main.h"
#include "basicsource/movie.h"
#include "basicsource/movie_options.h"
#include "basicsource/platform.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

namespace {

double cpuSecondsSoFar() {
    double total = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

std::vector<std::string> partArguments(const movieCommand& command, int samples, int first,
                                       int last, const std::string& folder) {
    return {"--first-frame", std::to_string(first), "--last-frame", std::to_string(last),
            "--chunks-into", folder, "--fps", std::to_string(command.fps), "--size",
            std::to_string(command.width) + "x" + std::to_string(command.height), "--aa",
            std::to_string(samples), "--crf", std::to_string(command.crf), "--jobs", "1"};
}

} // namespace

int main(int argc, char** argv) {
    movieCommand command;
    movieCommandResult parsed = parseMovieCommand(argc, argv, command);
    if (!parsed.ok) {
        std::fprintf(stderr, "lumenfold-movie: %s\n%s", parsed.error.c_str(), movieUsage().c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(movieUsage().c_str(), stdout);
        return 0;
    }
    const std::string soundtrack = resourceFile("Sonavel.wav");
    if (!command.join.empty()) {
        std::string error;
        if (!joinMovies(command.join, command.output, soundtrack, error)) {
            std::fprintf(stderr, "lumenfold-movie: %s\n", error.c_str());
            return 1;
        }
        std::fprintf(stderr, "joined %zu parts into %s\n", command.join.size(),
                     command.output.c_str());
        return 0;
    }
    int first = 0, last = -1;
    movieFrameRange(command.from, command.to, command.fps, first, last);
    if (command.firstFrame < 0 && last < first) {
        std::fprintf(stderr, "lumenfold-movie: nothing to render in that range\n");
        return 2;
    }

    catchStopSignals();
    glutInit(&argc, argv);
    platformInitialise();
    openShowWindow("Lumenfold movie");
    gProgramMode = kpmMakingMovie;
    const bool isPart = !command.chunkDirectory.empty();
    const int samples = std::min(command.samples, maximumSamples());
    if (samples < command.samples && !isPart) {
        std::fprintf(stderr, "lumenfold-movie: the driver offers at most %d samples; using %d\n",
                     samples, samples);
    }
    const int jobs = command.jobs > 0 ? command.jobs : processorCount();

    auto start = std::chrono::steady_clock::now();
    movieSplit split;
    bool ok = false;
    std::string error;
    if (!isPart && jobs > 1 && movieEncoderAvailable()) {
        movieFormat format;
        format.width = command.width;
        format.height = command.height;
        format.fps = command.fps;
        format.crf = command.crf;
        format.firstFrame = first;
        format.soundtrack = soundtrack;
        format.output = command.output;
        ok = renderInParallel(
            format, first, last, jobs,
            [&](int a, int b, const std::string& folder) {
                return partArguments(command, samples, a, b, folder);
            },
            split, error);
    } else {
        movieOptions options;
        options.from = command.from;
        options.to = command.to;
        options.firstFrame = command.firstFrame;
        options.lastFrame = command.lastFrame;
        options.fps = command.fps;
        options.width = command.width;
        options.height = command.height;
        options.samples = samples;
        options.crf = command.crf;
        options.output = command.output;
        options.soundtrack = soundtrack;
        options.chunkDirectory = command.chunkDirectory;
        options.cancelRequested = stopRequested;
        movieReport report = renderShowMovie(options);
        split.frames = report.frames;
        split.renderSeconds = report.renderSeconds;
        split.readbackSeconds = report.readbackSeconds;
        split.encodeSeconds = report.encodeSeconds;
        ok = report.completed;
        error = report.cancelled ? "stopped" : "";
        if (ok && isPart) {
            writePartReport(command.chunkDirectory, report.firstFrame, split);
        }
    }
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!ok) {
        std::fprintf(stderr, "lumenfold-movie: the movie could not be written to %s%s%s; any "
                             "earlier movie there is kept\n",
                     command.output.c_str(), error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    if (!isPart) {
        std::fprintf(stderr,
                     "%d frames of %dx%d (%d samples) in %.1f s (%.1f frames a second) with %d "
                     "process%s: render %.1f s, readback %.1f s, encode %.1f s, join %.1f s; "
                     "%.2f cores busy on average\n",
                     split.frames, command.width, command.height, samples, total,
                     split.frames / total, jobs > 1 ? jobs : 1, jobs > 1 ? "es" : "",
                     split.renderSeconds, split.readbackSeconds, split.encodeSeconds,
                     split.joinSeconds, cpuSecondsSoFar() / total);
    }
    return 0;
}
