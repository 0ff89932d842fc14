// Movie output on Linux: raw frames streamed into an ffmpeg process that writes H.264 with the
// soundtrack as audio, or numbered PNG files when ffmpeg is not installed. Everything is written
// under a temporary name and renamed into place only when complete.
#include "basicsource/frame_capture.h"
#include "basicsource/movie_options.h"
#include "basicsource/platform.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string directoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isExecutableOnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) {
        return false;
    }
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (end > start && access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool fileExists(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

void removeTree(const std::string& dir) {
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                unlink((dir + "/" + name).c_str());
            }
        }
        closedir(d);
    }
    rmdir(dir.c_str());
}

// An empty folder of that name, whatever an earlier, interrupted run left there.
bool freshFolder(const std::string& dir) {
    removeTree(dir);
    return mkdir(dir.c_str(), 0755) == 0;
}

// Starts `args` (args[0] looked up on the PATH) with standard input from `input` (-1: nothing)
// and standard output to `output` (-1: nowhere); standard error is discarded unless asked for.
pid_t spawn(std::vector<std::string> args, int input, int output, bool keepStderr = false) {
    pid_t child = fork();
    if (child != 0) {
        return child;
    }
    int devnull = open("/dev/null", O_RDWR);
    dup2(input >= 0 ? input : devnull, STDIN_FILENO);
    dup2(output >= 0 ? output : devnull, STDOUT_FILENO);
    if (!keepStderr) {
        dup2(devnull, STDERR_FILENO);
    }
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

// Waits for the child; true when it exited with status 0. Adds its CPU time to `cpuSeconds`.
bool succeeded(pid_t child, double* cpuSeconds = nullptr) {
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    if (cpuSeconds) {
        *cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What a program prints on standard output, and whether it succeeded.
bool capture(const std::vector<std::string>& args, std::string& text) {
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    pid_t child = spawn(args, -1, fds[1]);
    close(fds[1]);
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0) {
            text.append(buffer, size_t(n));
        }
    }
    close(fds[0]);
    return child > 0 && succeeded(child);
}

std::string formatted(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string chunkName(int chunk) {
    char name[32];
    std::snprintf(name, sizeof name, "chunk-%06d.mp4", chunk);
    return name;
}

// The files of a folder whose names start with `prefix`, sorted.
std::vector<std::string> filesStartingWith(const std::string& dir, const std::string& prefix) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d)) {
            std::string name = entry->d_name;
            if (name.rfind(prefix, 0) == 0) {
                names.push_back(dir + "/" + name);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char here[4096];
    return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

// The movie's description, kept in the file so that parts can be checked before a join.
std::string describeRange(const movieFormat& f, int lastFrame) {
    char text[128];
    std::snprintf(text, sizeof text, "lumenfold frames %d-%d fps %d size %dx%d", f.firstFrame,
                  lastFrame, f.fps, f.width, f.height);
    return text;
}

// Copies the video of `videos` one after the other into format.output (under a hidden name,
// renamed when complete), with the soundtrack of the whole range encoded once beside it.
bool joinVideo(const std::vector<std::string>& videos, const movieFormat& format, int lastFrame,
               const std::string& workDirectory) {
    const std::string list = workDirectory + "/join-list.txt";
    if (FILE* file = std::fopen(list.c_str(), "w")) {
        for (const std::string& video : videos) {
            std::string quoted;
            for (char c : absolute(video)) {
                quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
            }
            std::fprintf(file, "file '%s'\n", quoted.c_str());
        }
        std::fclose(file);
    } else {
        return false;
    }
    const int frames = lastFrame - format.firstFrame + 1;
    const std::string from = formatted("%.3f", double(format.firstFrame) / format.fps);
    const std::string length = formatted("%.3f", double(frames) / format.fps);
    const std::string partial =
        directoryOf(format.output) + "/." + baseNameOf(format.output) + ".partial";
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
                                     "-y", "-f", "concat", "-safe", "0", "-i", list};
    const bool withSound = !format.soundtrack.empty() && fileExists(format.soundtrack);
    if (withSound) {
        args.insert(args.end(), {"-ss", from, "-t", length, "-i", format.soundtrack, "-map",
                                 "1:a", "-c:a", "aac", "-b:a", "192k"});
    }
    args.insert(args.end(), {"-map", "0:v"});
    args.insert(args.end(), {"-c:v", "copy", "-metadata", "comment=" + describeRange(format, lastFrame),
                             "-movflags", "+faststart", "-f", "mp4", partial});
    pid_t child = spawn(args, -1, -1);
    bool ok = child > 0 && succeeded(child) && std::rename(partial.c_str(), format.output.c_str()) == 0;
    if (!ok) {
        unlink(partial.c_str());
    }
    return ok;
}

// Frames encoded chunk by chunk, each chunk by an ffmpeg process of its own reading raw frames
// from a pipe, then joined (or left in the chunk folder for a parallel render's parent).
class chunkedFfmpegSink : public movieSink {
  public:
    explicit chunkedFfmpegSink(const movieFormat& f)
        : format(f), ownFolder(f.chunkDirectory.empty()),
          folder(ownFolder ? directoryOf(f.output) + "/." + baseNameOf(f.output) + ".chunks"
                           : f.chunkDirectory) {}

    ~chunkedFfmpegSink() override {
        if (encoder > 0) {
            cancel();
        }
    }

    bool start() {
        if (ownFolder && !freshFolder(folder)) {
            return false;
        }
        // A dead encoder must show as a failed write, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }

    bool writeFrame(const unsigned char* rgb) override {
        const int frame = format.firstFrame + count;
        if ((encoder < 0 || frame % kMovieChunkFrames == 0) &&
            !(closeChunk() && openChunk(frame / kMovieChunkFrames))) {
            return false;
        }
        ++count;
        size_t bytes = size_t(format.width) * format.height * 3;
        while (bytes > 0) {
            ssize_t n = write(input, rgb, bytes);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            rgb += n;
            bytes -= size_t(n);
        }
        return true;
    }

    bool finish() override {
        bool ok = closeChunk() && count > 0;
        if (ok && ownFolder) {
            ok = joinVideo(filesStartingWith(folder, "chunk-"), format,
                           format.firstFrame + count - 1, folder);
        }
        if (ownFolder) {
            removeTree(folder);
        }
        return ok;
    }

    void cancel() override {
        if (input >= 0) {
            close(input);
            input = -1;
        }
        if (encoder > 0) {
            kill(encoder, SIGTERM);
            succeeded(encoder);
            encoder = -1;
        }
        if (ownFolder) {
            removeTree(folder);
        } else if (!chunkFile.empty()) {
            unlink(chunkFile.c_str());
        }
    }

    std::string describe() const override { return format.output; }
    double encoderCpuSeconds() const { return cpuSeconds; }

  private:
    bool openChunk(int chunk) {
        chunkFile = folder + "/" + chunkName(chunk);
        const std::string size = std::to_string(format.width) + "x" + std::to_string(format.height);
        const std::string rate = std::to_string(format.fps);
        // GL's rows come bottom-up; players want 4:2:0. Every chunk starts on a key frame.
        std::vector<std::string> args = {
            "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "rawvideo",
            "-pix_fmt", "rgb24", "-s", size, "-r", rate, "-i", "-", "-vf", "vflip", "-c:v",
            "libx264", "-preset", "veryfast", "-crf", std::to_string(format.crf), "-g",
            std::to_string(kMovieChunkFrames), "-pix_fmt", "yuv420p", "-r", rate, "-an", "-f",
            "mp4", chunkFile};
        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        fcntl(fds[1], F_SETFD, FD_CLOEXEC);
        encoder = spawn(args, fds[0], -1);
        close(fds[0]);
        if (encoder < 0) {
            close(fds[1]);
            return false;
        }
        input = fds[1];
        return true;
    }

    bool closeChunk() {
        if (encoder < 0) {
            return true;
        }
        close(input);
        input = -1;
        bool ok = succeeded(encoder, &cpuSeconds);
        encoder = -1;
        return ok;
    }

    movieFormat format;
    bool ownFolder;
    std::string folder;
    std::string chunkFile;
    pid_t encoder = -1;
    int input = -1;
    int count = 0;
    double cpuSeconds = 0;
};

// Numbered PNG files, made in a hidden folder and moved next to the output when complete.
class pngSink : public movieSink {
  public:
    explicit pngSink(const movieFormat& f)
        : format(f), finalDir(directoryOf(f.output)), partialDir(finalDir + "/.frames.partial") {}

    bool start() { return freshFolder(partialDir); }

    bool writeFrame(const unsigned char* rgb) override {
        picture p;
        p.width = format.width;
        p.height = format.height;
        p.rgb.assign(rgb, rgb + size_t(format.width) * format.height * 3);
        return savePng(p, partialDir + "/" + frameName(count++));
    }

    bool finish() override {
        // The new sequence replaces the old one whole.
        if (DIR* d = opendir(finalDir.c_str())) {
            while (dirent* entry = readdir(d)) {
                std::string name = entry->d_name;
                if (name.rfind("frame-", 0) == 0 && name.size() > 4 &&
                    name.compare(name.size() - 4, 4, ".png") == 0) {
                    unlink((finalDir + "/" + name).c_str());
                }
            }
            closedir(d);
        }
        bool ok = true;
        for (int i = 0; i < count; ++i) {
            ok = std::rename((partialDir + "/" + frameName(i)).c_str(),
                             (finalDir + "/" + frameName(i)).c_str()) == 0 && ok;
        }
        removeTree(partialDir);
        return ok;
    }

    void cancel() override { removeTree(partialDir); }

    std::string describe() const override { return finalDir + "/frame-00000.png ..."; }

  private:
    static std::string frameName(int i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%05d.png", i);
        return name;
    }

    movieFormat format;
    std::string finalDir;
    std::string partialDir;
    int count = 0;
};

} // namespace

std::unique_ptr<movieSink> openMovieSink(const movieFormat& format) {
    if (!makeDirectories(directoryOf(format.output))) {
        return nullptr;
    }
    if (isExecutableOnPath("ffmpeg")) {
        auto sink = std::make_unique<chunkedFfmpegSink>(format);
        if (sink->start()) {
            return sink;
        }
        return nullptr;
    }
    auto sink = std::make_unique<pngSink>(format);
    if (sink->start()) {
        return sink;
    }
    return nullptr;
}

namespace {

volatile sig_atomic_t gStopRequested = 0;
void onStopSignal(int) { gStopRequested = 1; }

bool readPartReport(const std::string& path, movieSplit& split) {
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file) {
        return false;
    }
    movieSplit part;
    bool ok = std::fscanf(file, "%d %lf %lf %lf", &part.frames, &part.renderSeconds,
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

double secondsSince(const timespec& start) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec - start.tv_sec) + double(now.tv_nsec - start.tv_nsec) / 1e9;
}

} // namespace

bool movieEncoderAvailable() { return isExecutableOnPath("ffmpeg"); }

int processorCount() {
    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? int(cores) : 1;
}

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0; // no restart: a wait in progress returns and sees the request
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() { return gStopRequested != 0; }

void writePartReport(const std::string& chunkDirectory, int firstFrame, const movieSplit& split) {
    const std::string path = chunkDirectory + "/report-" + std::to_string(firstFrame) + ".txt";
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fprintf(file, "%d %.6f %.6f %.6f\n", split.frames, split.renderSeconds,
                     split.readbackSeconds, split.encodeSeconds);
        std::fclose(file);
    }
}

bool renderInParallel(const movieFormat& format, int firstFrame, int lastFrame, int jobs,
                      const std::function<std::vector<std::string>(int, int, const std::string&)>&
                          childArguments,
                      movieSplit& split, std::string& error) {
    if (!isExecutableOnPath("ffmpeg")) {
        error = "ffmpeg is not installed";
        return false;
    }
    if (!makeDirectories(directoryOf(format.output))) {
        error = "cannot make the folder " + directoryOf(format.output);
        return false;
    }
    const std::string folder =
        directoryOf(format.output) + "/." + baseNameOf(format.output) + ".parts";
    if (!freshFolder(folder)) {
        error = "cannot make " + folder;
        return false;
    }
    std::vector<pid_t> children;
    for (const auto& [from, to] : splitIntoChunkRuns(firstFrame, lastFrame, jobs)) {
        std::vector<std::string> args = childArguments(from, to, folder);
        args.insert(args.begin(), "/proc/self/exe");
        pid_t child = spawn(args, -1, -1, true);
        if (child < 0) {
            error = "cannot start a process";
            break;
        }
        children.push_back(child);
    }
    // Every part must succeed; at the first failure or a stop request the others are stopped.
    bool ok = error.empty();
    size_t finished = 0;
    std::vector<bool> done(children.size(), false);
    while (finished < children.size()) {
        if (!ok || stopRequested()) {
            for (size_t i = 0; i < children.size(); ++i) {
                if (!done[i]) {
                    kill(children[i], SIGTERM);
                }
            }
        }
        int status = 0;
        rusage usage{};
        pid_t child = wait4(-1, &status, 0, &usage);
        if (child < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        auto at = std::find(children.begin(), children.end(), child);
        if (at == children.end()) {
            continue; // not one of the parts
        }
        done[size_t(at - children.begin())] = true;
        ++finished;
        split.cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        if (!(WIFEXITED(status) && WEXITSTATUS(status) == 0) && ok) {
            ok = false;
            if (error.empty() && !stopRequested()) {
                error = "a part of the movie failed";
            }
        }
    }
    if (stopRequested() && error.empty()) {
        error = "stopped";
    }
    ok = ok && error.empty();
    if (ok) {
        for (const std::string& report : filesStartingWith(folder, "report-")) {
            readPartReport(report, split);
        }
        timespec joinStart;
        clock_gettime(CLOCK_MONOTONIC, &joinStart);
        ok = joinVideo(filesStartingWith(folder, "chunk-"), format, lastFrame, folder);
        split.joinSeconds = secondsSince(joinStart);
        if (!ok) {
            error = "the parts could not be joined";
        }
    }
    removeTree(folder);
    return ok;
}

bool joinMovies(const std::vector<std::string>& parts, const std::string& output,
                const std::string& soundtrack, std::string& error) {
    movieFormat whole;
    whole.output = output;
    whole.soundtrack = soundtrack;
    int expectedFirst = -1, lastFrame = -1;
    for (const std::string& part : parts) {
        std::string comment;
        capture({"ffprobe", "-v", "error", "-show_entries", "format_tags=comment", "-of",
                 "default=noprint_wrappers=1:nokey=1", part},
                comment);
        int first = 0, last = 0, fps = 0, width = 0, height = 0;
        if (std::sscanf(comment.c_str(), "lumenfold frames %d-%d fps %d size %dx%d", &first,
                        &last, &fps, &width, &height) != 5) {
            error = part + " is not a movie made by lumenfold-movie";
            return false;
        }
        if (expectedFirst < 0) {
            whole.firstFrame = first;
            whole.fps = fps;
            whole.width = width;
            whole.height = height;
        } else if (first != expectedFirst) {
            error = part + " starts at frame " + std::to_string(first) + ", not at " +
                    std::to_string(expectedFirst) + " where the part before it ends";
            return false;
        } else if (fps != whole.fps || width != whole.width || height != whole.height) {
            error = part + " differs from the first part in size or frame rate";
            return false;
        }
        expectedFirst = last + 1;
        lastFrame = last;
    }
    if (parts.empty()) {
        error = "no parts to join";
        return false;
    }
    const std::string folder = directoryOf(output) + "/." + baseNameOf(output) + ".join";
    if (!makeDirectories(directoryOf(output)) || !freshFolder(folder)) {
        error = "cannot write into " + directoryOf(output);
        return false;
    }
    // The parts' own sound would lengthen each part in the join: their video alone is joined.
    std::vector<std::string> videos;
    bool ok = true;
    for (size_t i = 0; ok && i < parts.size(); ++i) {
        videos.push_back(folder + "/video-" + std::to_string(1000000 + i) + ".mp4");
        pid_t child = spawn({"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-i", parts[i],
                             "-map", "0:v", "-c", "copy", "-f", "mp4", videos.back()},
                            -1, -1);
        ok = child > 0 && succeeded(child);
    }
    ok = ok && joinVideo(videos, whole, lastFrame, folder);
    removeTree(folder);
    if (!ok) {
        error = "ffmpeg could not join the parts";
    }
    return ok;
}
