// The parallel render on Linux: the parts are this very program (/proc/self/exe) started with
// the frames to render and the folder to leave their chunks in. Only the parent reports: a
// part's messages go to a log in the work folder, said by the parent when the part fails.
#include "moviemaker/parallel.h"

#include "basicsource/files.h"
#include "moviemaker/movie_options.h"
#include "moviemaker/movie_output.h"
#include "moviemaker/processes.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

const int kLogLines = 8;

bool readPartReport(const std::string& path, movieSplit& split) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return false;
    }
    movieSplit part;
    const bool ok = std::fscanf(file, "%d %lf %lf %lf", &part.frames, &part.renderSeconds,
                                &part.readbackSeconds, &part.encodeSeconds) == 4;
    std::fclose(file);
    if (ok) {
        split.frames += part.frames;
        split.renderSeconds += part.renderSeconds;
        split.readbackSeconds += part.readbackSeconds;
        split.encodeSeconds += part.encodeSeconds;
    }
    return ok;
}

std::string partLog(const std::string& folder, int first) {
    return folder + "/part-" + std::to_string(first) + ".log";
}

std::string partReport(const std::string& folder, int first) {
    return folder + "/report-" + std::to_string(first) + ".txt";
}

// Every log of the folder (the parts' and their encoders' hidden ones), gathered into `log`.
void gatherLogs(const std::string& folder, const std::string& log) {
    std::ofstream out(log, std::ios::app);
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name.find(".log") != std::string::npos) {
                out << std::ifstream(folder + "/" + name).rdbuf();
            }
        }
        closedir(d);
    }
}

struct partRun {
    int first, last;
};

// A part of frames first..last, its frames done counted on a pipe from its standard output.
childRun startPart(const movieSettings& settings, const partRun& run, const std::string& folder) {
    std::vector<std::string> args = partCommandLine(settings, run.first, run.last, folder);
    args.insert(args.begin(), "/proc/self/exe");
    childRun child;
    const std::string log = partLog(folder, run.first);
    int counts[2];
    if (!createNewFile(log) || pipe2(counts, O_CLOEXEC | O_NONBLOCK) != 0) {
        return child;
    }
    child.pid = startProcess(args, -1, counts[1], log);
    close(counts[1]);
    if (child.pid < 0) {
        close(counts[0]);
    } else {
        child.countFd = counts[0];
    }
    return child;
}

// Starts the parts; when one cannot be started, those already running are stopped.
bool startParts(const movieSettings& settings, const std::vector<partRun>& runs,
                const std::string& folder, std::vector<childRun>& children) {
    for (const partRun& run : runs) {
        childRun child = startPart(settings, run, folder);
        if (child.pid < 0) {
            for (const childRun& started : children) {
                kill(started.pid, SIGTERM);
            }
            return false;
        }
        children.push_back(child);
    }
    return true;
}

// The part whose failure stopped the render (not one stopped because of it).
std::string describeFailure(const std::vector<childRun>& children,
                            const std::vector<partRun>& runs) {
    for (size_t i = 0; i < children.size(); ++i) {
        if (children[i].failedFirst) {
            return "the part of frames " + std::to_string(runs[i].first) + " to " +
                   std::to_string(runs[i].last) + " failed";
        }
    }
    return "a part of the movie failed";
}

} // namespace

void writePartReport(const std::string& chunkDirectory, int firstFrame, const movieSplit& split) {
    const std::string path = partReport(chunkDirectory, firstFrame);
    if (!createNewFile(path)) {
        return; // not the parent's fresh folder, or written already: nothing is replaced
    }
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fprintf(file, "%d %.6f %.6f %.6f\n", split.frames, split.renderSeconds,
                     split.readbackSeconds, split.encodeSeconds);
        std::fclose(file);
    }
}

bool renderInParallel(const movieSettings& settings, int first, int last, movieSplit& split,
                      std::string& error, const std::function<void(int done)>& progress) {
    if (!movieEncoderAvailable()) {
        error = encoderMissingMessage();
        return false;
    }
    outputFolders folders;
    if (!(error = outputPathProblem(settings.output)).empty() ||
        !(error = folders.makeFor(settings.output)).empty()) {
        return false;
    }
    const std::string dir = directoryOf(settings.output);
    const std::string folder = makeWorkFolder(dir, baseNameOf(settings.output));
    const std::string log = folder + ".log";
    if (folder.empty() || !createNewFile(log)) {
        error = "cannot write into " + dir + ": " + std::strerror(errno);
        removeWorkFolder(folder);
        return false;
    }
    std::vector<partRun> runs;
    for (const auto& [from, to] : splitIntoChunkRuns(first, last, std::max(settings.jobs, 1))) {
        runs.push_back({from, to});
    }
    split.processes = int(runs.size());
    std::vector<childRun> children;
    bool ok = startParts(settings, runs, folder, children);
    if (!ok) {
        error = "cannot start the processes of the render";
    }
    // Whatever happened, every part started is waited for (stopped when one failed).
    auto tick = [&] {
        int done = 0;
        for (const childRun& child : children) {
            done += child.count;
        }
        if (progress) {
            progress(done);
        }
    };
    ok = waitForAll(children, tick) && ok;
    if (!ok && error.empty()) {
        error = stopRequested() ? "stopped" : describeFailure(children, runs);
    }
    if (ok) {
        for (const partRun& run : runs) {
            readPartReport(partReport(folder, run.first), split);
        }
        const auto joinStart = std::chrono::steady_clock::now();
        std::string problem;
        ok = joinChunks(chunkFilesIn(folder), settings, first, last, folder, log, problem);
        split.joinSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - joinStart).count();
        if (!ok) {
            error = problem.empty() ? "the parts could not be joined" : problem;
        }
    }
    if (!ok && !stopRequested()) {
        gatherLogs(folder, log);
        const std::string lines = lastLinesOf(log, kLogLines);
        if (!lines.empty()) {
            error += " (the messages are kept in " + log + "):\n" + lines;
            error.pop_back();
        }
    }
    removeWorkFolder(folder);
    if (ok || stopRequested() || lastLinesOf(log, 1).empty()) {
        std::remove(log.c_str());
    }
    if (ok) {
        folders.keep();
    }
    return ok;
}
