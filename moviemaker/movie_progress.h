// How far a render has come, said on standard error: on a terminal one line replaced in place a
// few times a second, in a log a plain line at every tenth of the frames. Plain logic on a clock
// the caller reads, so that it can be tested without waiting.
#pragma once

#include <string>

// "frame 120 of 251 (47%), 23.5 frames a second, 0:05 left" after `elapsed` seconds of work.
std::string describeProgress(int done, int total, double elapsedSeconds);

class movieProgress {
  public:
    // `terminal`: the live line; else the plain lines. `startSeconds` on the caller's clock.
    movieProgress(int totalFrames, bool terminal, double startSeconds);
    // What to print now that `done` frames are finished ("" when nothing is due).
    std::string update(int done, double nowSeconds);
    // What to print when the render has ended: the live line is cleared for the summary.
    std::string finish() const;

  private:
    int total;
    bool terminal;
    double start;
    double lastShown = -1; // when the live line was last drawn; negative: never
    int lastDone = -1;
    int tenthsShown = 0;
};
