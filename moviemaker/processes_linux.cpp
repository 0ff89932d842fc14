// Processes on Linux. Children are started with fork and exec, the child calling only
// async-signal-safe functions in between (this program has the GL driver's threads): it sets its
// standard streams, closes every other descriptor, takes default signal handling and asks to be
// sent SIGTERM when this program ends, however it ends, so that no part or encoder outlives it.
// Stop signals and child exits write a byte into a pipe (the self-pipe), so a wait in poll()
// wakes for either, with no window in which a signal goes unnoticed.
#include "moviemaker/processes.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

volatile sig_atomic_t gStopRequested = 0;
int gWakePipe[2] = {-1, -1};

void wake() {
    if (gWakePipe[1] >= 0) {
        const int saved = errno;
        const char byte = 0;
        [[maybe_unused]] ssize_t n = write(gWakePipe[1], &byte, 1);
        errno = saved;
    }
}

void onStopSignal(int) {
    gStopRequested = 1;
    wake();
}

void onChildEnded(int) { wake(); }

bool makeWakePipe() {
    if (gWakePipe[0] >= 0) {
        return true;
    }
    if (pipe2(gWakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        gWakePipe[0] = gWakePipe[1] = -1;
        return false;
    }
    return true;
}

void drainWakePipe() {
    char bytes[64];
    while (read(gWakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

void handle(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = flags;
    sigaction(signal, &action, nullptr);
}

// Reaps the children that have ended; true when one of them failed. Failures before the others
// were stopped are the ones that count as the cause.
bool reapEnded(std::vector<childRun>& children, bool othersStopped) {
    bool failed = false;
    for (childRun& child : children) {
        int status = 0;
        if (!child.ended && waitpid(child.pid, &status, WNOHANG) == child.pid) {
            child.ended = true;
            child.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
            child.failedFirst = !child.succeeded && !othersStopped;
            failed = failed || !child.succeeded;
        }
    }
    return failed;
}

// The child's side of startProcess, between fork and exec: async-signal-safe calls only.
[[noreturn]] void becomeChild(const char* program, char* const* argv, int input, int output,
                              const char* log, pid_t parent, int openMax) {
    const int in = input >= 0 ? input : open("/dev/null", O_RDONLY);
    const int err = open(log, O_WRONLY | O_APPEND);
    const int out = output >= 0 ? output : err;
    if (in < 0 || err < 0 || dup2(in, STDIN_FILENO) < 0 || dup2(out, STDOUT_FILENO) < 0 ||
        dup2(err, STDERR_FILENO) < 0) {
        _exit(127);
    }
    // Nothing else of this program reaches the child, whatever it was started with.
    if (syscall(SYS_close_range, 3U, ~0U, 0U) != 0) {
        for (int fd = 3; fd < openMax; ++fd) {
            close(fd);
        }
    }
    // Default handling and nothing blocked, whatever this program ignores (SIGPIPE) or catches.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD}) {
        sigaction(s, &byDefault, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // Ends with this program (strictly, with the thread that forked it: always the main one);
    // a parent that ended before the request took hold is seen here.
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) {
        _exit(127);
    }
    execve(program, argv, environ);
    _exit(127);
}

const int kTickMilliseconds = 250;

// The counts the children wrote since the last call; `toTheEnd` reads until each pipe closes
// (its child has ended) and closes it. A pipe is read without waiting.
void readCounts(std::vector<childRun>& children, bool toTheEnd) {
    for (childRun& child : children) {
        char bytes[256];
        ssize_t n = -1;
        while (child.countFd >= 0 &&
               ((n = read(child.countFd, bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR))) {
            child.unread.append(bytes, size_t(std::max<ssize_t>(n, 0)));
            for (size_t end; (end = child.unread.find('\n')) != std::string::npos;) {
                child.count = std::atoi(child.unread.substr(0, end).c_str());
                child.unread.erase(0, end + 1);
            }
        }
        if (child.countFd >= 0 && (toTheEnd || n == 0)) {
            close(child.countFd);
            child.countFd = -1;
        }
    }
}

} // namespace

std::string pathOfProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return access(name.c_str(), X_OK) == 0 ? name : "";
    }
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = std::min(dirs.find(':', start), dirs.size());
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return "";
}

bool programOnPath(const char* name) { return !pathOfProgram(name).empty(); }

int processorCount() {
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? int(cores) : 1;
}

int startProcess(const std::vector<std::string>& args, int input, int output,
                 const std::string& errorLog) {
    const std::string program = pathOfProgram(args[0]);
    if (program.empty()) {
        return -1;
    }
    // Everything the child needs is made here: after the fork it may not allocate.
    std::vector<char*> argv;
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    const char* log = errorLog.empty() ? "/dev/null" : errorLog.c_str();
    const long openMax = sysconf(_SC_OPEN_MAX);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        becomeChild(program.c_str(), argv.data(), input, output, log, parent,
                    openMax > 0 ? int(openMax) : 1024);
    }
    return pid > 0 ? int(pid) : -1;
}

bool processSucceeded(int pid) {
    if (pid <= 0) {
        return false;
    }
    int status = 0;
    bool stopped = false;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return false;
        }
        if (stopRequested() && !stopped) {
            kill(pid, SIGTERM); // the stop signal interrupted the wait: the child goes too
            stopped = true;
        }
    }
    return !stopped && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::FILE* takeStandardOutput() {
    std::fflush(stdout);
    const int channel = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    std::FILE* stream = channel >= 0 ? fdopen(channel, "w") : nullptr;
    if (!stream) {
        if (channel >= 0) {
            close(channel);
        }
        return nullptr;
    }
    dup2(STDERR_FILENO, STDOUT_FILENO);
    return stream;
}

bool captureOutput(const std::vector<std::string>& args, std::string& text) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    const int child = startProcess(args, -1, fds[1], "");
    close(fds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            text.append(buffer, size_t(n));
        }
    }
    close(fds[0]);
    return processSucceeded(child);
}

void catchStopSignals() {
    makeWakePipe();
    gStopRequested = 0;
    handle(SIGINT, onStopSignal, 0);
    handle(SIGTERM, onStopSignal, 0);
    // A closed terminal or a dropped ssh connection stops the work as a kill does.
    handle(SIGHUP, onStopSignal, 0);
    // Children are waited for: a SIGCHLD ignored on entry would make the system reap them first.
    std::signal(SIGCHLD, SIG_DFL);
}

void releaseStopSignals() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}

bool stopRequested() { return gStopRequested != 0; }

bool waitForAll(std::vector<childRun>& children, const std::function<void()>& tick) {
    makeWakePipe();
    handle(SIGCHLD, onChildEnded, SA_RESTART | SA_NOCLDSTOP);
    bool failed = false, stopped = false;
    auto running = [&] {
        return std::any_of(children.begin(), children.end(),
                           [](const childRun& c) { return !c.ended; });
    };
    while (true) {
        // Reap before sleeping: a child that ended before the handler was installed, or whose
        // byte was drained already, is found here.
        failed = reapEnded(children, stopped) || failed;
        if ((failed || stopRequested()) && !stopped) {
            stopped = true;
            for (const childRun& child : children) {
                if (!child.ended) {
                    kill(child.pid, SIGTERM);
                }
            }
        }
        if (!running()) {
            break;
        }
        std::vector<pollfd> waits = {{gWakePipe[0], POLLIN, 0}};
        for (const childRun& child : children) {
            if (child.countFd >= 0) {
                waits.push_back({child.countFd, POLLIN, 0});
            }
        }
        // The pipe wakes the wait at once; the timeout only bounds it should the pipe be
        // missing, or lets the caller's tick come.
        if (poll(waits.data(), nfds_t(waits.size()), tick ? kTickMilliseconds : 1000) > 0) {
            drainWakePipe();
        }
        readCounts(children, false);
        if (tick) {
            tick();
        }
    }
    // Whatever they wrote before they ended is read to the end.
    readCounts(children, true);
    if (tick) {
        tick();
    }
    std::signal(SIGCHLD, SIG_DFL);
    return !failed && !stopRequested();
}

std::string lastLinesOf(const std::string& path, int count) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    std::string text;
    for (size_t i = lines.size() > size_t(count) ? lines.size() - size_t(count) : 0;
         i < lines.size(); ++i) {
        text += lines[i] + "\n";
    }
    return text;
}
