// Command-line parsing for the program. Numbers follow the strict rule both programs share:
// "--start 12abc", "--start 0x10" or "--speed 0" is refused with a message rather than read as
// something else.
#include "player/launch_options.h"

#include "common/command_line.h"

#ifndef LUMENFOLD_VERSION
#define LUMENFOLD_VERSION "unknown"
#endif

const numberRule kSpeedRule = {"a factor", 0.05, 20, false};

namespace {

// The options the show takes, and whether each takes a value (--start=12 or --start 12).
struct optionSpec {
    const char* name;
    bool takesValue;
};
const optionSpec kOptions[] = {{"--help", false},       {"-h", false},     {"--version", false},
                               {"--start", true},       {"--paused", false}, {"--speed", true},
                               {"--fullscreen", false}, {"--loop", false},   {"--mute", false},
                               {"--aa", true}};

const optionSpec* findOption(const std::string& name) {
    for (const optionSpec& option : kOptions) {
        if (name == option.name) {
            return &option;
        }
    }
    return nullptr;
}

// GLUT's own X options, left for glutInit: those that take a value, and those that do not.
bool isWindowSystemOption(const std::string& arg, bool& takesValue) {
    takesValue = arg == "-display" || arg == "-geometry";
    return takesValue || arg == "-direct" || arg == "-indirect" || arg == "-iconic" ||
           arg == "-gldebug" || arg == "-sync";
}

} // namespace

parseResult parseLaunchOptions(int argc, const char* const* argv, launchOptions& options) {
    auto refuse = [](const std::string& why, const std::string& option, const std::string& value) {
        parseResult result;
        result.ok = false;
        result.error = why;
        result.option = option;
        result.value = value;
        return result;
    };
    auto refuseUnknown = [&](const std::string& arg) {
        parseResult result = refuse("unknown option '" + arg + "'", arg, "");
        result.unknown = true;
        return result;
    };
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
        // An unknown option is called unknown, with or without a value.
        const optionSpec* option = findOption(name);
        if (!option) {
            return refuseUnknown(arg);
        }
        const bool takesValue = option->takesValue;
        if (takesValue && !hasValue) {
            if (i + 1 >= argc) {
                return refuse(name + " needs a value", name, "");
            }
            value = argv[++i];
        } else if (!takesValue && hasValue) {
            return refuse(name + " takes no value", name, value);
        }

        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--version") {
            options.version = true;
        } else if (name == "--start") {
            if (!readNumber(value, kShowTimeRule, options.start)) {
                return refuse(refusal(name, kShowTimeRule, value), name, value);
            }
            options.hasStart = true;
        } else if (name == "--speed") {
            if (!readNumber(value, kSpeedRule, options.speed)) {
                return refuse(refusal(name, kSpeedRule, value), name, value);
            }
        } else if (name == "--aa") {
            if (!readWholeNumber(value, kSamplesRule, options.samples)) {
                return refuse(refusal(name, kSamplesRule, value), name, value);
            }
        } else if (name == "--paused") {
            options.paused = true;
        } else if (name == "--fullscreen") {
            options.fullscreen = true;
        } else if (name == "--loop") {
            options.loop = true;
        } else if (name == "--mute") {
            options.mute = true;
        }
    }
    // Paused without a time waits at the opening moment.
    if (options.paused && !options.hasStart) {
        options.hasStart = true;
        options.start = 0;
    }
    return {};
}

launchStop launchStopFor(int argc, const char* const* argv, launchOptions& options) {
    const parseResult parsed = parseLaunchOptions(argc, argv, options);
    if (!parsed.ok) {
        return {true, true, "lumenfold: " + parsed.error};
    }
    if (options.help || options.version) {
        return {true, false, options.help ? launchUsage() : launchVersion() + "\n"};
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
