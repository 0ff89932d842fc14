// What the running program says about itself, for whoever watches it from outside: the
// end-to-end tests ask it whether the show is paused, playing or at a moment instead of judging
// that from pixels, which a slow machine makes look still. When LUMENFOLD_REPORT names a file,
// one line of names and values is written to it after every frame the window shows.
#pragma once

#include "basicsource/constants.h"

#include <string>

// What a report says.
struct runState {
    ProgramMode mode = kpmAtStart;
    double showSeconds = 0;   // the show time the frame shows
    long frames = 0;          // the status line's frame count: frames played since the start
    unsigned long draws = 0;  // frames the window has shown, redraws of a paused show included
    long clock = 0;           // the real-time clock's reading (milliseconds; only differences)
    double heardSeconds = -1; // where the sound being heard is; negative when none is
    int windowWidth = 0, windowHeight = 0;
    std::string notice;       // the status line's notice, UTF-8; may be empty
};

// "at-start", "playing", "making-movie", "paused" or "finished".
const char* modeName(ProgramMode mode);

// One line, e.g. "mode paused time 84.000 frames 0 draws 3 clock 52713 heard -1.000
// length 130.000 timeline 700x4+10+534 notice ": each name followed by its value. `timeline` is the control strip's
// timeline track as WIDTHxHEIGHT+X+Y in window pixels counted from the top left, the way X and
// the screenshots count them; `length` is the show's, which the track spans. `notice` comes last
// and is the rest of the line, spaces and all (a line break in it is written as a space).
std::string formatRunReport(const runState& state);

// The program's state now, with `draws` as given.
runState currentRunState(unsigned long draws);

// Reads LUMENFOLD_REPORT once at start-up; when it names a file, every frame the window shows
// rewrites it, replaced in one step so that a reader never sees half a report. A file that
// cannot be written is said once on standard error, and the report stops.
void startRunReport();
