// Command-line parsing for the program. Numbers must be whole and in range: "--start 12abc" or
// "--speed 0" is refused with a message rather than read as something else.
#include "basicsource/options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#ifndef LUMENFOLD_VERSION
#define LUMENFOLD_VERSION "unknown"
#endif

namespace {

const double kShowSeconds = 130;
const double kSlowest = 0.05, kFastest = 20;

// The whole text as a finite number, or false.
bool readNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

// GLUT's own X options, left for glutInit: those that take a value, and those that do not.
bool isWindowSystemOption(const std::string& arg, bool& takesValue) {
    takesValue = arg == "-display" || arg == "-geometry";
    return takesValue || arg == "-direct" || arg == "-indirect" || arg == "-iconic" ||
           arg == "-gldebug" || arg == "-sync";
}

} // namespace

parseResult parseLaunchOptions(int argc, const char* const* argv, launchOptions& options) {
    auto refuse = [](const std::string& why) { return parseResult{false, why}; };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (bool skipValue = false; isWindowSystemOption(arg, skipValue)) {
            i += skipValue ? 1 : 0;
            continue;
        }
        // --start=12 and --start 12 alike.
        std::string name = arg, value;
        bool hasValue = false;
        if (size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        const bool takesValue = name == "--start" || name == "--speed" || name == "--aa";
        if (takesValue && !hasValue) {
            if (i + 1 >= argc) {
                return refuse(name + " needs a value");
            }
            value = argv[++i];
        } else if (!takesValue && hasValue) {
            return refuse(name + " takes no value");
        }

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--start") {
            if (!readNumber(value, options.start) || options.start < 0 ||
                options.start > kShowSeconds) {
                return refuse("--start takes a time in seconds from 0 to 130, not '" + value + "'");
            }
            options.hasStart = true;
        } else if (name == "--speed") {
            if (!readNumber(value, options.speed) || options.speed < kSlowest ||
                options.speed > kFastest) {
                return refuse("--speed takes a factor from 0.05 to 20, not '" + value + "'");
            }
        } else if (name == "--aa") {
            double samples = 0;
            if (!readNumber(value, samples) || samples < 1 || samples > 64 ||
                samples != std::floor(samples)) {
                return refuse("--aa takes a number of samples from 1 to 64, not '" + value + "'");
            }
            options.samples = int(samples);
        } else if (name == "--paused") {
            options.paused = true;
        } else if (name == "--fullscreen") {
            options.fullscreen = true;
        } else if (name == "--loop") {
            options.loop = true;
        } else if (name == "--mute") {
            options.mute = true;
        } else {
            return refuse("unknown option '" + arg + "'");
        }
    }
    // Paused without a time waits at the opening moment.
    if (options.paused && !options.hasStart) {
        options.hasStart = true;
        options.start = 0;
    }
    return {};
}

std::string launchUsage() {
    return "usage: lumenfold [options]\n"
           "Plays the Lumenfold show in a window; press a to start it, h for the keys.\n"
           "  --start SECONDS  start playing at that time of the show (0 to 130)\n"
           "  --paused         with --start: wait there, paused (p plays)\n"
           "  --speed X        playback speed, 0.05 to 20 (sound is heard at 1 only)\n"
           "  --fullscreen     fill the screen\n"
           "  --loop           at the end start again from 0 s, with the sound\n"
           "  --mute           no soundtrack\n"
           "  --aa N           anti-aliasing with N samples (off by default)\n"
           "  --version        print the version and exit\n"
           "  --help           print this and exit\n";
}

std::string launchVersion() { return std::string("lumenfold ") + LUMENFOLD_VERSION; }
