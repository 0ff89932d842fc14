// lumenfold-movie's options. Every number is read whole and checked against its range, so that
// "--size 1920x1080p" or "--aa 0" is refused with a message instead of being half-read.
#include "basicsource/movie_options.h"

#include "basicsource/platform.h"

#include <algorithm>
#include <functional>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

bool readWhole(const std::string& text, long low, long high, int& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long n = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n < low || n > high) {
        return false;
    }
    value = int(n);
    return true;
}

bool readSeconds(const std::string& text, float& value) {
    char* end = nullptr;
    errno = 0;
    double d = text.empty() ? -1 : std::strtod(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !std::isfinite(d) || d < 0 || d > 1e6) {
        return false;
    }
    value = float(d);
    return true;
}

// "WxH", both even, 16 x 16 to 3840 x 2160.
bool readSize(const std::string& text, int& width, int& height) {
    size_t x = text.find('x');
    return x != std::string::npos && readWhole(text.substr(0, x), 16, 3840, width) &&
           readWhole(text.substr(x + 1), 16, 2160, height) && width % 2 == 0 && height % 2 == 0;
}

} // namespace

movieCommandResult parseMovieCommand(int argc, const char* const* argv, movieCommand& command) {
    auto refuse = [](const std::string& why) { return movieCommandResult{false, why}; };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            command.help = true;
            continue;
        }
        if (arg == "--join") {
            while (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) {
                command.join.push_back(argv[++i]);
            }
            if (command.join.empty()) {
                return refuse("--join needs the parts to join");
            }
            continue;
        }
        if (i + 1 >= argc) {
            return refuse(arg + " needs a value");
        }
        const std::string value = argv[++i];
        bool ok = true;
        if (arg == "--from") {
            ok = readSeconds(value, command.from);
        } else if (arg == "--to") {
            ok = readSeconds(value, command.to);
        } else if (arg == "--fps") {
            ok = readWhole(value, 1, 120, command.fps);
        } else if (arg == "--output") {
            ok = !value.empty();
            command.output = value;
        } else if (arg == "--size") {
            ok = readSize(value, command.width, command.height);
        } else if (arg == "--aa") {
            ok = readWhole(value, 1, 64, command.samples);
        } else if (arg == "--crf") {
            ok = readWhole(value, 0, 51, command.crf);
        } else if (arg == "--jobs") {
            ok = readWhole(value, 1, 256, command.jobs);
        } else if (arg == "--first-frame") {
            ok = readWhole(value, 0, 1000000, command.firstFrame);
        } else if (arg == "--last-frame") {
            ok = readWhole(value, 0, 1000000, command.lastFrame);
        } else if (arg == "--chunks-into") {
            ok = !value.empty();
            command.chunkDirectory = value;
        } else {
            return refuse("unknown option '" + arg + "'");
        }
        if (!ok) {
            const char* wanted = arg == "--size"   ? "an even WxH from 16x16 to 3840x2160"
                                 : arg == "--aa"   ? "a number of samples from 1 to 64"
                                 : arg == "--crf"  ? "a quality from 0 (lossless) to 51"
                                 : arg == "--jobs" ? "a number of processes from 1 to 256"
                                 : arg == "--fps"  ? "a whole number of frames from 1 to 120"
                                                   : "a time in seconds, 0 or more";
            return refuse(arg + " takes " + wanted + ", not '" + value + "'");
        }
    }
    if (command.join.empty() && command.to < command.from) {
        return refuse("--to must not come before --from");
    }
    return {};
}

std::string movieUsage() {
    return "usage: lumenfold-movie [--from SECONDS] [--to SECONDS] [--fps N] [--size WxH]\n"
           "                       [--aa N] [--crf N] [--jobs N] [--output PATH]\n"
           "       lumenfold-movie --join PART... --output PATH\n"
           "Renders the show (or a range of it) to an H.264 movie with its soundtrack.\n"
           "  --from, --to SECONDS  the range of show time (default 0 to 130)\n"
           "  --fps N               frames a second (default 25)\n"
           "  --size WxH            even size from 16x16 to 3840x2160 (default 720x576)\n"
           "  --aa N                anti-aliasing with N samples (default 1: none)\n"
           "  --crf N               quality, 0 lossless to 51 (default 23)\n"
           "  --jobs N              processes rendering side by side (default: one per core)\n"
           "  --output PATH         where the movie goes (default movie/lumenfold.mp4)\n"
           "  --join PART...        join movies of consecutive ranges into --output\n";
}

std::vector<std::pair<int, int>> splitIntoChunkRuns(int first, int last, int jobs,
                                                    const std::function<double(int)>& cost) {
    std::vector<std::pair<int, int>> runs;
    if (last < first) {
        return runs;
    }
    // The cost of the frames before each chunk boundary, to cut where the work is shared evenly.
    std::vector<int> boundaries;
    std::vector<double> costBefore;
    double total = 0;
    for (int frame = first; frame <= last; ++frame) {
        if (frame > first && frame % kMovieChunkFrames == 0) {
            boundaries.push_back(frame);
            costBefore.push_back(total);
        }
        total += cost ? cost(frame) : 1.0;
    }
    int start = first;
    size_t next = 0;
    for (int j = 1; j < jobs && next < boundaries.size(); ++j) {
        const double target = total * j / jobs;
        // The boundary closest to the target, after the last cut.
        size_t best = next;
        for (size_t b = next; b < boundaries.size(); ++b) {
            if (std::fabs(costBefore[b] - target) < std::fabs(costBefore[best] - target)) {
                best = b;
            }
        }
        runs.push_back({start, boundaries[best] - 1});
        start = boundaries[best];
        next = best + 1;
    }
    runs.push_back({start, last});
    return runs;
}
