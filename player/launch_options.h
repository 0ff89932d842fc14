// The program's command line: what `lumenfold --help` lists, parsed into plain values. Parsing
// knows nothing of GL or the show's state, so every option and every refusal can be tested.
#pragma once

#include "common/command_line.h"

#include <string>

// --speed's factor.
extern const numberRule kSpeedRule;

struct launchOptions {
    bool help = false;
    bool version = false;
    bool hasStart = false;
    double start = 0;   // seconds into the show
    bool paused = false; // wait at the start time instead of playing
    double speed = 1;
    bool fullscreen = false;
    bool loop = false;
    bool mute = false;
    int samples = 1; // anti-aliasing: a multisampled window
};

struct parseResult {
    bool ok = true;
    std::string error; // one line saying what is wrong, when !ok
    // What the error is about, for a program that words it its own way (the page's address):
    // the option as given (the whole argument when it is unknown), and its value if it had one.
    std::string option;
    std::string value;
    bool unknown = false;
};

parseResult parseLaunchOptions(int argc, const char* const* argv, launchOptions& options);

// Whether the command line lets the show run, and what is said when it does not: a refusal
// ("lumenfold: ..." on its own line; the program adds the usage and exits with status 2), or
// the usage or version asked for (the whole text; status 0). A program that cannot print to a
// terminal (the browser's) shows it.
struct launchStop {
    bool stops = false;
    bool refused = false;
    std::string message;
};
launchStop launchStopFor(int argc, const char* const* argv, launchOptions& options);

// The usage text, ending in a line break.
std::string launchUsage();
// "lumenfold VERSION".
std::string launchVersion();
