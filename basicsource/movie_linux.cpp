// Movie output on Linux: raw frames streamed into an ffmpeg process that writes H.264 with the
// soundtrack as audio, or numbered PNG files when ffmpeg is not installed. Everything is written
// under a temporary name and renamed into place only when complete.
#include "basicsource/frame_capture.h"
#include "basicsource/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
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

// Frames written into an ffmpeg process through a pipe on its standard input.
class ffmpegSink : public movieSink {
  public:
    explicit ffmpegSink(const movieFormat& f)
        : format(f), partial(directoryOf(f.output) + "/." + baseNameOf(f.output) + ".partial") {}

    ~ffmpegSink() override {
        if (child > 0) {
            cancel();
        }
    }

    bool start() {
        char size[32], rate[16], from[32], length[32];
        std::snprintf(size, sizeof size, "%dx%d", format.width, format.height);
        std::snprintf(rate, sizeof rate, "%d", format.fps);
        std::snprintf(from, sizeof from, "%.3f", double(format.from));
        std::snprintf(length, sizeof length, "%.3f",
                      double(format.to - format.from) + 1.0 / format.fps);
        std::vector<std::string> args = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
                                         "-y", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size,
                                         "-r", rate, "-i", "-"};
        bool withSound = !format.soundtrack.empty() && fileExists(format.soundtrack);
        if (withSound) {
            args.insert(args.end(), {"-ss", from, "-t", length, "-i", format.soundtrack});
        }
        // GL's rows come bottom-up; players want 4:2:0.
        args.insert(args.end(), {"-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast",
                                 "-pix_fmt", "yuv420p", "-r", rate});
        if (withSound) {
            args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k", "-t", length});
        }
        args.insert(args.end(), {"-movflags", "+faststart", "-f", "mp4", partial});

        int fds[2];
        if (pipe(fds) != 0) {
            return false;
        }
        child = fork();
        if (child < 0) {
            close(fds[0]);
            close(fds[1]);
            return false;
        }
        if (child == 0) {
            dup2(fds[0], STDIN_FILENO);
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, STDOUT_FILENO); // the program writes nothing on standard output
            dup2(devnull, STDERR_FILENO);
            close(fds[0]);
            close(fds[1]);
            std::vector<char*> argv;
            for (std::string& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            execvp("ffmpeg", argv.data());
            _exit(127);
        }
        close(fds[0]);
        input = fds[1];
        fcntl(input, F_SETFD, FD_CLOEXEC);
        // A dead encoder must show as a failed write, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
        return true;
    }

    bool writeFrame(const unsigned char* rgb) override {
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
        close(input);
        input = -1;
        int status = 0;
        waitpid(child, &status, 0);
        child = -1;
        bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                  std::rename(partial.c_str(), format.output.c_str()) == 0;
        if (!ok) {
            unlink(partial.c_str());
        }
        return ok;
    }

    void cancel() override {
        if (input >= 0) {
            close(input);
            input = -1;
        }
        if (child > 0) {
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
            child = -1;
        }
        unlink(partial.c_str());
    }

    std::string describe() const override { return format.output; }

  private:
    movieFormat format;
    std::string partial;
    pid_t child = -1;
    int input = -1;
};

// Numbered PNG files, made in a hidden folder and moved next to the output when complete.
class pngSink : public movieSink {
  public:
    explicit pngSink(const movieFormat& f)
        : format(f), finalDir(directoryOf(f.output)), partialDir(finalDir + "/.frames.partial") {}

    bool start() {
        removeTree(partialDir);
        return mkdir(partialDir.c_str(), 0755) == 0;
    }

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
        auto sink = std::make_unique<ffmpegSink>(format);
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
