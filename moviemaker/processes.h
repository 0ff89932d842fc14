// Child processes and stop signals for the movie: the encoder and the parallel parts run as
// programs of their own. Only this unit and its Linux implementation know how.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Whether a program of that name can be started from the PATH.
bool programOnPath(const char* name);
// Where the program `name` is (looked up on the PATH unless it holds a '/'); "" when nowhere.
std::string pathOfProgram(const std::string& name);
// The number of processor cores.
int processorCount();

// Starts `args` (args[0] looked up on the PATH unless it holds a '/') with standard input from
// `input` (-1: nothing) and standard output to `output`; standard error, and standard output when
// `output` is -1, are appended to the file `errorLog` ("" discards them). No other descriptor
// of this program reaches it, and it is sent SIGTERM when this program ends. Returns the process
// id, -1 on failure.
int startProcess(const std::vector<std::string>& args, int input, int output,
                 const std::string& errorLog);
// Waits for the process; true when it exited with status 0. When a stop is asked for meanwhile
// (catchStopSignals), the process is sent SIGTERM, waited for, and counts as failed.
bool processSucceeded(int pid);
// For a part whose standard output carries its frame counts to the parent: returns that channel
// as a stream of its own (nullptr when it cannot be had) and sends whatever else is written to
// standard output (the show's fatal messages) to standard error, the part's log.
std::FILE* takeStandardOutput();
// What a program prints on standard output, and whether it succeeded.
bool captureOutput(const std::vector<std::string>& args, std::string& text);

// From now on SIGINT, SIGTERM and SIGHUP ask the program to stop instead of ending it (and a
// child's end can be waited for, whatever this program was started with); until releaseStopSignals.
void catchStopSignals();
void releaseStopSignals();
bool stopRequested();

// A process started above, waited for along with others.
struct childRun {
    int pid = -1;
    bool ended = false;
    bool succeeded = false;
    bool failedFirst = false; // the failure that stopped the others, not stopped by the wait
    // The reading end of a pipe on which the child writes a count a line (-1: none), and the
    // last whole count read from it.
    int countFd = -1;
    int count = 0;
    std::string unread; // a line not yet ended
};
// Waits until every child has ended, reading their counts as they come. At the first failure,
// or when a stop is asked for, the children still running are sent SIGTERM; a signal is acted on
// at once, whatever the wait is doing. `tick`, when given, is called a few times a second and
// after every count read. True when every child succeeded and no stop was asked for.
bool waitForAll(std::vector<childRun>& children, const std::function<void()>& tick = {});

// The last `count` lines of a text file ("" when there is none).
std::string lastLinesOf(const std::string& path, int count);
