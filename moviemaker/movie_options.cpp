// lumenfold-movie's options. Numbers follow the strict rule both programs share, and are
// checked against their range, so that "--size 1920x1080p", "--aa 4.0" or "--fps +25" is
// refused with a message instead of being half-read.
#include "moviemaker/movie_options.h"

#include "common/command_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const numberRule kFpsRule = {"a whole number of frames a second", 1, 120, true};
const numberRule kCrfRule = {"a whole-number quality (0 is lossless)", 0, 51, true};
const numberRule kJobsRule = {"a whole number of processes", 1, 256, true};
const numberRule kFrameRule = {"a frame number", 0, 999999, true};
const numberRule kWidthRule = {"", 16, 3840, true};
const numberRule kHeightRule = {"", 16, 2160, true};
const char* const kSizeWanted = "an even WxH from 16x16 to 3840x2160";

// "WxH", both even, 16 x 16 to 3840 x 2160.
bool readSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    return x != std::string::npos && readWholeNumber(text.substr(0, x), kWidthRule, width) &&
           readWholeNumber(text.substr(x + 1), kHeightRule, height) && width % 2 == 0 &&
           height % 2 == 0;
}

bool readTime(const std::string& text, float& value) {
    double seconds = 0;
    if (!readNumber(text, kShowTimeRule, seconds)) {
        return false;
    }
    value = float(seconds);
    return true;
}

bool isOption(const char* arg) { return std::string(arg).rfind("--", 0) == 0; }

// One option and its value into the settings; "" when it was read, else why not.
std::string readOption(const std::string& option, const std::string& value, movieSettings& s) {
    if (option == "--from" || option == "--to") {
        return readTime(value, option == "--from" ? s.from : s.to)
                   ? "" : refusal(option, kShowTimeRule, value);
    }
    struct wholeOption {
        const char* name;
        const numberRule* rule;
        int* value;
    };
    const wholeOption wholes[] = {{"--fps", &kFpsRule, &s.fps},
                                  {"--aa", &kSamplesRule, &s.samples},
                                  {"--crf", &kCrfRule, &s.crf},
                                  {"--jobs", &kJobsRule, &s.jobs},
                                  {"--first-frame", &kFrameRule, &s.firstFrame},
                                  {"--last-frame", &kFrameRule, &s.lastFrame}};
    for (const wholeOption& w : wholes) {
        if (option == w.name) {
            return readWholeNumber(value, *w.rule, *w.value) ? "" : refusal(option, *w.rule, value);
        }
    }
    if (option == "--size") {
        return readSize(value, s.width, s.height) ? "" : refusal(option, kSizeWanted, value);
    }
    struct pathOption {
        const char* name;
        const char* wanted;
        std::string* value;
    };
    const pathOption paths[] = {{"--output", "a file name", &s.output},
                                {"--frames", "a folder", &s.framesDirectory},
                                {"--chunks-into", "a folder", &s.chunkDirectory}};
    for (const pathOption& p : paths) {
        if (option == p.name) {
            *p.value = value;
            s.outputGiven = s.outputGiven || option == "--output";
            return value.empty() ? refusal(option, p.wanted, value) : "";
        }
    }
    return "unknown option '" + option + "'";
}

// With --join only --output means anything: anything else would be silently ignored.
std::string checkJoin(const std::vector<std::string>& given) {
    for (const std::string& option : given) {
        if (option != "--join" && option != "--output" && option != "--help" && option != "-h" &&
            option != "--quiet") {
            return option + " cannot be used with --join, which only copies the parts' video";
        }
    }
    return "";
}

} // namespace

movieCommandResult parseMovieCommand(int argc, const char* const* argv, movieSettings& settings) {
    auto refuse = [](const std::string& why) { return movieCommandResult{false, why}; };
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        given.push_back(arg);
        if (arg == "--help" || arg == "-h") {
            settings.help = true;
        } else if (arg == "--quiet") {
            settings.quiet = true;
        } else if (arg == "--list-chunks") {
            settings.listChunks = true;
        } else if (arg == "--print-settings") {
            settings.printSettings = true;
        } else if (arg == "--report-frames") {
            settings.reportFrames = true;
        } else if (arg == "--join") {
            while (i + 1 < argc && !isOption(argv[i + 1])) {
                settings.join.push_back(argv[++i]);
            }
            if (settings.join.empty()) {
                return refuse("--join needs the parts to join");
            }
        } else if (!isOption(argv[i])) {
            return refuse("'" + arg + "' is not an option (options start with --)");
        } else if (i + 1 >= argc) {
            return refuse(arg + " needs a value");
        } else if (std::string why = readOption(arg, argv[++i], settings); !why.empty()) {
            return refuse(why);
        }
    }
    if (!settings.join.empty()) {
        if (std::string why = checkJoin(given); !why.empty()) {
            return refuse(why);
        }
    } else if (settings.to < settings.from) {
        return refuse("--to must not come before --from");
    }
    if (!settings.framesDirectory.empty() && !settings.chunkDirectory.empty()) {
        return refuse("--frames cannot be used with --chunks-into");
    }
    return {};
}

std::string movieUsage() {
    return "usage: lumenfold-movie [--from SECONDS] [--to SECONDS] [--fps N] [--size WxH]\n"
           "                       [--aa N] [--crf N] [--jobs N] [--quiet]\n"
           "                       [--output PATH | --frames DIR]\n"
           "       lumenfold-movie --join PART... --output PATH\n"
           "       lumenfold-movie [OPTION]... [--print-settings] [--list-chunks]\n"
           "Renders the show (or a range of it) to an H.264 movie with its soundtrack.\n"
           "  --from, --to SECONDS  the range of show time (default 0 to 130)\n"
           "  --fps N               frames a second (default 25)\n"
           "  --size WxH            even size from 16x16 to 3840x2160 (default 720x576)\n"
           "  --aa N                anti-aliasing with N samples (default 1: none)\n"
           "  --crf N               quality, 0 lossless to 51 (default 23)\n"
           "  --jobs N              processes rendering side by side (default: one per core)\n"
           "  --quiet               no progress line while rendering, only the summary\n"
           "  --print-settings      only say what makes the movie what it is, in one line\n"
           "  --list-chunks         only say the range's chunks, one a line: INDEX FIRST LAST\n"
           "                        NAME (frame numbers, file name), for sharing a render out\n"
           "                        by whole chunks; --output, when given, is checked first\n"
           "  --output PATH         where the movie goes (default movie/lumenfold.mp4)\n"
           "  --frames DIR          numbered PNG files in the new folder DIR instead of a movie\n"
           "  --join PART...        join movies of consecutive ranges into --output\n";
}

std::vector<std::string> partCommandLine(const movieSettings& s, int first, int last,
                                         const std::string& folder) {
    return {"--first-frame", std::to_string(first), "--last-frame", std::to_string(last),
            "--chunks-into", folder, "--fps", std::to_string(s.fps), "--size",
            std::to_string(s.width) + "x" + std::to_string(s.height), "--aa",
            std::to_string(s.samples), "--crf", std::to_string(s.crf), "--jobs", "1",
            "--report-frames"};
}

std::vector<movieChunk> chunksOfRange(int first, int last) {
    std::vector<movieChunk> chunks;
    for (int k = first / kMovieChunkFrames; first <= last && k <= last / kMovieChunkFrames; ++k) {
        chunks.push_back({k, std::max(k * kMovieChunkFrames, first),
                          std::min((k + 1) * kMovieChunkFrames - 1, last)});
    }
    return chunks;
}

std::string movieChunkName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "chunk-%06d.mp4", index);
    return name;
}

std::string movieSettingsLine(const movieSettings& s, int first, int last) {
    char line[128];
    std::snprintf(line, sizeof line, "frames %d-%d fps %d size %dx%d aa %d crf %d", first, last,
                  s.fps, s.width, s.height, s.samples, s.crf);
    return line;
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
