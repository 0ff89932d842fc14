// lumenfold-movie: renders the show to a movie without anyone at the keyboard, the same frames
// as key `m` makes, at any size, anti-aliased, in several processes side by side; or joins
// parts rendered elsewhere. Needs no display: its OpenGL context comes through EGL (a GPU where
// there is one, else software rendering). Prints which renderer drew, how long the parts of
// the work took and how busy the cores were, on standard error.
//
//   lumenfold-movie [--from S] [--to S] [--fps N] [--size WxH] [--aa N] [--crf N] [--jobs N]
//                   [--quiet] [--output PATH | --frames DIR]
//   lumenfold-movie [OPTION]... [--print-settings] [--list-chunks]
//   lumenfold-movie --join PART... --output PATH
// A parallel render's parts run this program with --first-frame, --last-frame, --chunks-into
// and --report-frames. While it renders, its progress is said on standard error.
#include "basicsource/files.h"
#include "basicsource/platform.h"
#include "basicsource/utility.h"
#include "common/bitmap_font.h"
#include "moviemaker/headless_context.h"
#include "moviemaker/movie.h"
#include "moviemaker/movie_options.h"
#include "moviemaker/movie_progress.h"
#include "moviemaker/offscreen_frame.h"
#include "moviemaker/parallel.h"
#include "moviemaker/processes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

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

// What the render made, where it went.
std::string destination(const movieSettings& settings) {
    return settings.framesDirectory.empty() ? settings.output : settings.framesDirectory;
}

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The progress said on standard error, when anything is to be said.
void sayProgress(const std::string& text) {
    if (!text.empty()) {
        std::fputs(text.c_str(), stderr);
        std::fflush(stderr);
    }
}

// One process renders the settings' frames; a part also reports its timing to the parent, and
// its frames done as they come on `counts` when given.
bool renderHere(const movieSettings& settings, movieSplit& split, std::string& error,
                const std::function<void(int)>& progress, std::FILE* counts) {
    movieHooks hooks;
    hooks.cancelRequested = stopRequested;
    hooks.frameDone = [&](unsigned, int, int, int done, int) {
        if (counts) {
            std::fprintf(counts, "%d\n", done);
            std::fflush(counts);
        } else if (progress) {
            progress(done);
        }
    };
    const movieReport report = renderShowMovie(settings, nullptr, hooks);
    split.frames = report.frames;
    split.renderSeconds = report.renderSeconds;
    split.readbackSeconds = report.readbackSeconds;
    split.encodeSeconds = report.encodeSeconds;
    // A job's cancel signals the encoder too: a write it breaks, or an encoder ended by the
    // signal first, is the stop, not an ffmpeg failure.
    error = report.cancelled || stopRequested() ? "stopped" : report.error;
    if (report.completed && !settings.chunkDirectory.empty()) {
        writePartReport(settings.chunkDirectory, report.firstFrame, split);
    }
    return report.completed;
}

// A render killed outright (SIGKILL, a crash, the machine) cannot remove its work folder. It is
// said, not removed: this run did not make it.
void sayAbandoned(const std::string& output) {
    for (const std::string& folder :
         abandonedWorkFolders(directoryOf(output), baseNameOf(output))) {
        std::fprintf(stderr,
                     "lumenfold-movie: %s (and %s.log, when there) was left by a render that was "
                     "killed; nothing uses it, and it can be removed\n",
                     folder.c_str(), folder.c_str());
    }
}

int join(const movieSettings& settings) {
    std::string error;
    if (!joinMovies(settings, error)) {
        std::fprintf(stderr, "lumenfold-movie: %s could not be joined: %s\n",
                     settings.output.c_str(), error.c_str());
        return 1;
    }
    std::fprintf(stderr, "joined %zu part%s into %s\n", settings.join.size(),
                 settings.join.size() == 1 ? "" : "s", settings.output.c_str());
    return 0;
}

// The samples the driver offers, said when fewer than asked for.
int usableSamples(const movieSettings& settings, bool isPart) {
    const int samples = std::min(settings.samples, maximumSamples());
    if (samples < settings.samples && !isPart) {
        std::fprintf(stderr, "lumenfold-movie: the driver offers at most %d samples; using %d\n",
                     samples, samples);
    }
    return samples;
}

// For tools that share a render out (a cluster's): the settings in their one normalised line,
// and the range's chunks with their file names; the output, when given, checked first as the
// render and the join will check it, so that a bad one is refused before any work is sent out.
int sayThePlan(const movieSettings& settings, int first, int last) {
    if (settings.outputGiven) {
        if (const std::string why = outputPathProblem(settings.output); !why.empty()) {
            std::fprintf(stderr, "lumenfold-movie: %s\n", why.c_str());
            return 1;
        }
    }
    if (settings.printSettings) {
        std::printf("%s\n", movieSettingsLine(settings, first, last).c_str());
    }
    if (settings.listChunks) {
        for (const movieChunk& chunk : chunksOfRange(first, last)) {
            std::printf("%d %d %d %s\n", chunk.index, chunk.first, chunk.last,
                        movieChunkName(chunk.index).c_str());
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    movieSettings settings;
    movieCommandResult parsed = parseMovieCommand(argc, argv, settings);
    if (!parsed.ok) {
        std::fprintf(stderr, "lumenfold-movie: %s\n%s", parsed.error.c_str(), movieUsage().c_str());
        return 2;
    }
    if (settings.help) {
        std::fputs(movieUsage().c_str(), stdout);
        return 0;
    }
    settings.soundtrack = soundtrackFile();
    catchStopSignals();
    if (!settings.join.empty()) {
        return join(settings);
    }
    int first = 0, last = -1;
    movieFrames(settings, first, last);
    if (last < first) {
        std::fprintf(stderr, "lumenfold-movie: nothing to render in that range\n");
        return 2;
    }
    if (settings.listChunks || settings.printSettings) {
        return sayThePlan(settings, first, last);
    }
    const bool isPart = !settings.chunkDirectory.empty();
    // The counts go to the parent alone; a message the show prints (standard output) reaches the
    // part's log, and through it the user.
    std::FILE* counts = settings.reportFrames ? takeStandardOutput() : nullptr;
    if (settings.framesDirectory.empty() && !movieEncoderAvailable()) {
        std::fprintf(stderr, "lumenfold-movie: %s\n", encoderMissingMessage().c_str());
        return 1;
    }
    // A file name that cannot take the movie is said before anything is rendered.
    if (!isPart && settings.framesDirectory.empty()) {
        if (const std::string why = outputPathProblem(settings.output); !why.empty()) {
            std::fprintf(stderr, "lumenfold-movie: %s\n", why.c_str());
            return 1;
        }
        sayAbandoned(settings.output);
    }

    platformInitialise();
    std::string renderer, problem;
    if (!makeHeadlessContext(renderer, problem)) {
        std::fprintf(stderr, "lumenfold-movie: no OpenGL to render with: %s\n", problem.c_str());
        return 1;
    }
    if (!isPart) {
        std::fprintf(stderr, "rendering with %s\n", renderer.c_str());
    }
    // No window system, so no GLUT: the credits are written with the project's own glyphs.
    setCharacterDrawer(drawFontCharacter);
    settings.samples = usableSamples(settings, isPart);
    if (settings.jobs == 0) {
        settings.jobs = processorCount();
    }

    const auto start = std::chrono::steady_clock::now();
    movieSplit split;
    std::string error;
    // On a terminal a live line, in a log a line at every tenth; none for a part or --quiet.
    movieProgress shown(last - first + 1, isatty(STDERR_FILENO) == 1, secondsNow());
    std::function<void(int)> progress;
    if (!isPart && !settings.quiet) {
        progress = [&shown](int done) { sayProgress(shown.update(done, secondsNow())); };
    }
    const bool parallel = !isPart && settings.jobs > 1 && settings.framesDirectory.empty();
    const bool ok = parallel ? renderInParallel(settings, first, last, split, error, progress)
                             : renderHere(settings, split, error, progress, counts);
    sayProgress(shown.finish());
    const double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    releaseHeadlessContext();
    if (!ok) {
        // A part only tells its parent (through its exit status and its log).
        std::fprintf(stderr, isPart ? "%s%s\n" : "lumenfold-movie: %s could not be made: %s\n",
                     isPart ? "" : destination(settings).c_str(), error.c_str());
        if (!isPart) {
            std::fprintf(stderr, "Any earlier file there is kept.\n");
        }
        return 1;
    }
    if (!isPart) {
        std::fprintf(stderr,
                     "%d frames of %dx%d (%d samples) in %.1f s (%.1f frames a second) with %d "
                     "process%s: render %.1f s, readback %.1f s, encode %.1f s, join %.1f s; "
                     "%.2f cores busy on average\n",
                     split.frames, settings.width, settings.height, settings.samples, total,
                     split.frames / total, split.processes, split.processes > 1 ? "es" : "",
                     split.renderSeconds, split.readbackSeconds, split.encodeSeconds,
                     split.joinSeconds, cpuSecondsSoFar() / total);
    }
    return 0;
}
