// Runs a piece of code in a forked child to watch it end the process: its exit status and what
// it wrote to standard output (death tests only see the error stream).
#pragma once

#include <functional>
#include <string>

struct childOutcome {
    bool exited = false;  // ended through exit, not a signal
    int exitStatus = -1;  // the status the shell sees (0 to 255)
    std::string standardOutput;
};

childOutcome runInChild(const std::function<void()>& body);
