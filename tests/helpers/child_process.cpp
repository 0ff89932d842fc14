// fork + a pipe on standard output; the child never returns into the test runner.
#include "helpers/child_process.h"

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

childOutcome runInChild(const std::function<void()>& body) {
    childOutcome outcome;
    int fds[2];
    if (pipe(fds) != 0) {
        return outcome;
    }
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        body();
        std::fflush(stdout);
        _exit(77); // the body was expected to end the process itself
    }
    close(fds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        outcome.standardOutput.append(buffer, size_t(n));
    }
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exited = WIFEXITED(status);
    outcome.exitStatus = outcome.exited ? WEXITSTATUS(status) : -1;
    return outcome;
}
