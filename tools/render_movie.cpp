// Renders the show to a movie without anyone at the keyboard: the same frames as key `m` makes,
// for a machine with no display (run it under Xvfb; tools/render-movie does). Prints how long
// the parts of the work took on standard error.
//
//   lumenfold-movie [--from SECONDS] [--to SECONDS] [--fps N] [--output PATH]
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/movie.h"

#include <GL/freeglut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    movieOptions options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc) {
            std::fprintf(stderr, "lumenfold-movie: %s needs a value\n", arg.c_str());
            return 2;
        }
        const char* value = argv[++i];
        if (arg == "--from") {
            options.from = float(std::atof(value));
        } else if (arg == "--to") {
            options.to = float(std::atof(value));
        } else if (arg == "--fps") {
            options.fps = std::atoi(value);
        } else if (arg == "--output") {
            options.output = value;
        } else {
            std::fprintf(stderr,
                         "usage: lumenfold-movie [--from SECONDS] [--to SECONDS] [--fps N] "
                         "[--output PATH]\n");
            return 2;
        }
    }
    if (options.fps <= 0 || options.to < options.from || options.from < 0) {
        std::fprintf(stderr, "lumenfold-movie: nothing to render in that range\n");
        return 2;
    }

    platformInitialise();
    openShowWindow("Lumenfold movie");
    gProgramMode = kpmMakingMovie;

    auto start = std::chrono::steady_clock::now();
    movieReport report = renderShowMovie(options);
    double total =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!report.completed) {
        std::fprintf(stderr, "lumenfold-movie: the movie could not be written to %s\n",
                     options.output.c_str());
        return 1;
    }
    std::fprintf(stderr,
                 "%d frames in %.1f s (%.1f frames a second): render %.1f s, readback %.1f s, "
                 "encode %.1f s\n",
                 report.frames, total, report.frames / total, report.renderSeconds,
                 report.readbackSeconds, report.encodeSeconds);
    return 0;
}
