// The movie through the ffmpeg program: raw frames streamed into one encoder process per chunk
// of 250 frames, the chunks then joined without being encoded again, the soundtrack laid over
// the whole. A chunk is encoded in a hidden folder of its own and appears under its name only
// when complete, so a chunk file's presence means the chunk is finished. ffmpeg's messages go to
// a log beside the hidden work folder; it is kept, and its last lines are said, when ffmpeg fails.
#include "basicsource/files.h"
#include "moviemaker/movie_options.h"
#include "moviemaker/movie_output.h"
#include "moviemaker/processes.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace {

const int kLogLines = 5;
// A chunk's file inside the hidden folder it is encoded in.
const char* const kEncodedName = "chunk.mp4";

std::string formatted(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// ffmpeg as every step runs it: no keyboard, errors only, never replacing a file.
std::vector<std::string> ffmpegCommand(std::initializer_list<std::string> arguments) {
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error",
                                        "-n"};
    command.insert(command.end(), arguments);
    return command;
}

// The movie's description, kept in the file so that parts can be checked before a join.
#define LUMENFOLD_RANGE_FORMAT "lumenfold frames %d-%d fps %d size %dx%d"

std::string describeRange(const movieSettings& s, int firstFrame, int lastFrame) {
    char text[128];
    std::snprintf(text, sizeof text, LUMENFOLD_RANGE_FORMAT, firstFrame, lastFrame, s.fps, s.width,
                  s.height);
    return text;
}

std::string quotedForList(const std::string& path) {
    std::string quoted;
    for (char c : absolutePath(path)) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted;
}

bool writeAll(int fd, const unsigned char* bytes, size_t count) {
    while (count > 0) {
        ssize_t n = write(fd, bytes, count);
        // A stop signal ends a write into an encoder that takes no more, not only the next one.
        if (n < 0 && errno == EINTR && !stopRequested()) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes += n;
        count -= size_t(n);
    }
    return true;
}

// "ffmpeg failed", with the last lines of its log, and where the log is kept when it stays.
std::string ffmpegFailure(const std::string& log, bool logKept) {
    std::string text = "ffmpeg failed";
    const std::string lines = lastLinesOf(log, kLogLines);
    if (!lines.empty()) {
        text += (logKept ? " (its messages are kept in " + log + ")" : std::string()) + ":\n" + lines;
        text.pop_back();
    }
    return text;
}

// Whether ffmpeg's log is kept: only after ffmpeg failed (not when stopped), and only when it
// says something, since the failure's message names it only then.
bool logWorthKeeping(const std::string& log, bool ffmpegFailed) {
    return ffmpegFailed && !stopRequested() && !lastLinesOf(log, 1).empty();
}

// Frames encoded chunk by chunk and joined into the output; or, for a part of a parallel
// render, chunks left in the parent's folder for it to join.
class chunkedEncoderSink : public movieSink {
  public:
    chunkedEncoderSink(const movieSettings& s, int firstFrame)
        : settings(s), firstFrame(firstFrame), isPart(!s.chunkDirectory.empty()) {}

    ~chunkedEncoderSink() override {
        if (encoder > 0 || !workFolder.empty() || !chunkFolder.empty()) {
            cancel();
        }
    }

    bool start(std::string& error) {
        // A dead encoder must show as a failed write, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
        if (isPart) {
            // The parent's work folder (or a farm's); its log is gathered by the parent.
            folder = settings.chunkDirectory;
            if (!(error = chunksTaken()).empty()) {
                return false;
            }
            log = makeHiddenFile(folder, "encoder-" + std::to_string(firstFrame) + ".log");
            if (log.empty()) {
                error = "cannot write into " + folder + ": " + std::strerror(errno);
                return false;
            }
            return true;
        }
        if (!(error = outputPathProblem(settings.output)).empty()) {
            return false;
        }
        const std::string dir = directoryOf(settings.output);
        if (!(error = folders.makeFor(settings.output)).empty()) {
            return false;
        }
        workFolder = folder = makeWorkFolder(dir, baseNameOf(settings.output));
        log = workFolder + ".log";
        if (folder.empty() || !createNewFile(log)) {
            error = "cannot write into " + dir + ": " + std::strerror(errno);
            removeWorkFolder(workFolder);
            workFolder.clear();
            return false;
        }
        return true;
    }

    bool writeFrame(const unsigned char* rgb) override {
        const int frame = firstFrame + count;
        if ((encoder < 0 || frame % kMovieChunkFrames == 0) &&
            !(closeChunk() && openChunk(frame / kMovieChunkFrames))) {
            return fail();
        }
        ++count;
        const size_t bytes = size_t(settings.width) * size_t(settings.height) * 3;
        return writeAll(input, rgb, bytes) || fail();
    }

    bool finish() override {
        bool ok = closeChunk() && count > 0;
        if (ok && !isPart) {
            ok = joinChunks(chunkFilesIn(folder), settings, firstFrame, firstFrame + count - 1,
                            folder, log, problem);
        }
        if (ok) {
            folders.keep();
        }
        if (!ok) {
            fail();
        }
        cleanUp();
        return ok;
    }

    void cancel() override {
        if (input >= 0) {
            close(input);
            input = -1;
        }
        if (encoder > 0) {
            kill(encoder, SIGTERM);
            processSucceeded(encoder);
            encoder = -1;
        }
        // Only the chunk being encoded goes, in the folder made for it: never a finished chunk,
        // nor a file of that name this run did not make.
        removeWorkFolder(chunkFolder);
        chunkFolder.clear();
        cleanUp();
    }

    std::string failure() const override {
        return !problem.empty() ? problem : failed ? ffmpegFailure(log, !isPart) : "";
    }

  private:
    bool fail() {
        failed = true;
        return false;
    }

    // The work folder goes in any case; the log stays only when ffmpeg failed (not stopped)
    // and said why, for the message names it then. A part's log is gathered by its parent, so
    // it too stays only after such a failure.
    void cleanUp() {
        if (!workFolder.empty()) {
            removeWorkFolder(workFolder);
            workFolder.clear();
        }
        if (!log.empty() && !logWorthKeeping(log, failed && problem.empty())) {
            unlink(log.c_str());
            log.clear();
        }
    }

    // For a part: a chunk it would make that is there already. It is never replaced: the
    // part is refused before its first frame.
    std::string chunksTaken() const {
        int first = 0, last = -1;
        movieFrames(settings, first, last);
        for (int chunk = first / kMovieChunkFrames; chunk <= last / kMovieChunkFrames; ++chunk) {
            const std::string name = folder + "/" + movieChunkName(chunk);
            if (pathExists(name)) {
                return name + " exists already; a part never replaces a chunk (remove it to "
                              "render that chunk again)";
            }
        }
        return "";
    }

    bool openChunk(int chunk) {
        chunkFile = folder + "/" + movieChunkName(chunk);
        chunkFolder = makeWorkFolder(folder, movieChunkName(chunk));
        if (chunkFolder.empty()) {
            problem = "cannot write into " + folder + ": " + std::strerror(errno);
            return false;
        }
        const std::string size =
            std::to_string(settings.width) + "x" + std::to_string(settings.height);
        const std::string rate = std::to_string(settings.fps);
        // GL's rows come bottom-up; players want 4:2:0. Every chunk starts on a key frame. The
        // colours are converted with BT.709 into limited range whatever the size, and the
        // stream says so, so that players, browsers and editors show the rendered colours.
        // The encoder's lookahead runs in step with its input: in a thread of its own it chose
        // frame types from however many frames had arrived, so a busy machine made other bytes
        // from the same frames (measured: 3 of 24 encodes of one chunk side by side differed;
        // with this setting 0 of 64), and the window's movie and lumenfold-movie's then differed.
        const std::vector<std::string> args = ffmpegCommand(
            {"-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-r", rate, "-i", "-", "-vf",
             "vflip,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p", "-c:v", "libx264",
             "-preset", "veryfast", "-x264-params", "sync-lookahead=0", "-crf",
             std::to_string(settings.crf), "-g",
             std::to_string(kMovieChunkFrames), "-pix_fmt", "yuv420p", "-colorspace", "bt709",
             "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv", "-r", rate,
             "-an", "-f", "mp4", chunkFolder + "/" + kEncodedName});
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            return false;
        }
        encoder = startProcess(args, fds[0], -1, log);
        close(fds[0]);
        if (encoder < 0) {
            close(fds[1]);
            return false;
        }
        input = fds[1];
        return true;
    }

    // Waits for the encoder, then gives the finished chunk its name, never replacing a file.
    bool closeChunk() {
        if (encoder < 0) {
            return true;
        }
        close(input);
        input = -1;
        bool ok = processSucceeded(encoder);
        encoder = -1;
        if (ok && !publishAsNew(chunkFolder + "/" + kEncodedName, chunkFile)) {
            const std::string why = std::strerror(errno);
            problem = chunkFile + (pathExists(chunkFile)
                                       ? " appeared while it was being made; it was not replaced"
                                       : " could not be given its name: " + why);
            ok = false;
        }
        removeWorkFolder(chunkFolder);
        chunkFolder.clear();
        return ok;
    }

    movieSettings settings;
    int firstFrame;
    bool isPart;
    outputFolders folders;  // the output's folders this sink made (not for a part)
    std::string workFolder; // made by this sink (not for a part)
    std::string folder;     // where the chunks go
    std::string log;
    std::string chunkFile;   // the name of the chunk being encoded, once it is finished
    std::string chunkFolder; // where it is encoded meanwhile, made by this sink
    std::string problem;     // a failure that is not ffmpeg's
    int encoder = -1;
    int input = -1;
    int count = 0;
    bool failed = false;
};

bool readRange(const std::string& part, movieSettings& range, int& first, int& last) {
    std::string comment;
    captureOutput({"ffprobe", "-v", "error", "-show_entries", "format_tags=comment", "-of",
                   "default=noprint_wrappers=1:nokey=1", part},
                  comment);
    return std::sscanf(comment.c_str(), LUMENFOLD_RANGE_FORMAT, &first, &last, &range.fps,
                       &range.width, &range.height) == 5;
}

// Checks that the parts follow each other and match; sets the whole's frames and format.
bool checkParts(const std::vector<std::string>& parts, movieSettings& whole, int& firstFrame,
                int& lastFrame, std::string& error) {
    int expectedFirst = -1;
    for (const std::string& part : parts) {
        movieSettings range;
        int first = 0, last = 0;
        if (!readRange(part, range, first, last)) {
            error = part + " is not a movie made by lumenfold-movie";
            return false;
        }
        if (expectedFirst < 0) {
            firstFrame = first;
            whole.fps = range.fps;
            whole.width = range.width;
            whole.height = range.height;
        } else if (first != expectedFirst) {
            error = part + " starts at frame " + std::to_string(first) + ", not at " +
                    std::to_string(expectedFirst) + " where the part before it ends";
            return false;
        } else if (range.fps != whole.fps || range.width != whole.width ||
                   range.height != whole.height) {
            error = part + " differs from the first part in size or frame rate";
            return false;
        }
        expectedFirst = last + 1;
        lastFrame = last;
    }
    return true;
}

} // namespace

std::vector<std::string> chunkFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name.rfind("chunk-", 0) == 0) {
                names.push_back(folder + "/" + name);
            }
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool joinChunks(const std::vector<std::string>& chunks, const movieSettings& settings,
                int firstFrame, int lastFrame, const std::string& workFolder,
                const std::string& log, std::string& problem) {
    const std::string list = workFolder + "/join-list.txt";
    FILE* file = std::fopen(list.c_str(), "we");
    if (!file) {
        problem = "cannot write into " + workFolder + ": " + std::strerror(errno);
        return false;
    }
    for (const std::string& chunk : chunks) {
        std::fprintf(file, "file '%s'\n", quotedForList(chunk).c_str());
    }
    if (std::fclose(file) != 0) {
        problem = "cannot write into " + workFolder + ": " + std::strerror(errno);
        return false;
    }
    const int frames = lastFrame - firstFrame + 1;
    const std::string joined = workFolder + "/joined.mp4";
    std::vector<std::string> args = ffmpegCommand({"-f", "concat", "-safe", "0", "-i", list});
    if (!settings.soundtrack.empty() && access(settings.soundtrack.c_str(), R_OK) == 0) {
        args.insert(args.end(),
                    {"-ss", formatted("%.3f", double(firstFrame) / settings.fps), "-t",
                     formatted("%.3f", double(frames) / settings.fps), "-i", settings.soundtrack,
                     "-map", "1:a", "-c:a", "aac", "-b:a", "192k"});
    }
    args.insert(args.end(), {"-map", "0:v", "-c:v", "copy", "-metadata",
                             "comment=" + describeRange(settings, firstFrame, lastFrame),
                             "-movflags", "+faststart", "-f", "mp4", joined});
    if (!processSucceeded(startProcess(args, -1, -1, log))) {
        return false;
    }
    problem = replaceWith(joined, settings.output);
    return problem.empty();
}

bool movieEncoderAvailable() { return programOnPath("ffmpeg"); }

std::string encoderMissingMessage() {
    return "making a movie needs the ffmpeg program, which is not installed (on Debian: apt "
           "install ffmpeg); lumenfold-movie --frames DIR writes the frames as PNG files instead";
}

std::unique_ptr<movieSink> openEncoderSink(const movieSettings& settings, int firstFrame,
                                           std::string& error) {
    if (!movieEncoderAvailable()) {
        error = encoderMissingMessage();
        return nullptr;
    }
    auto sink = std::make_unique<chunkedEncoderSink>(settings, firstFrame);
    if (!sink->start(error)) {
        return nullptr;
    }
    return sink;
}

std::unique_ptr<movieSink> openMovieSink(const movieSettings& settings, int firstFrame,
                                         std::string& error) {
    if (!settings.framesDirectory.empty()) {
        return openPngFramesSink(settings, error);
    }
    return openEncoderSink(settings, firstFrame, error);
}

bool joinMovies(const movieSettings& settings, std::string& error) {
    if (!movieEncoderAvailable()) {
        error = encoderMissingMessage();
        return false;
    }
    if (!programOnPath("ffprobe")) {
        error = "joining reads the parts with ffprobe, which is not installed (it comes with ffmpeg)";
        return false;
    }
    movieSettings whole = settings;
    int firstFrame = 0, lastFrame = -1;
    if (settings.join.empty()) {
        error = "no parts to join";
        return false;
    }
    if (!(error = outputPathProblem(settings.output)).empty() ||
        !checkParts(settings.join, whole, firstFrame, lastFrame, error)) {
        return false;
    }
    const std::string dir = directoryOf(settings.output);
    outputFolders folders;
    if (!(error = folders.makeFor(settings.output)).empty()) {
        return false;
    }
    const std::string folder = makeWorkFolder(dir, baseNameOf(settings.output));
    const std::string log = folder + ".log";
    if (folder.empty() || !createNewFile(log)) {
        error = "cannot write into " + dir + ": " + std::strerror(errno);
        removeWorkFolder(folder);
        return false;
    }
    // The parts' own sound would lengthen each part in the join: their video alone is joined.
    std::vector<std::string> videos;
    bool ok = true;
    for (size_t i = 0; ok && i < settings.join.size(); ++i) {
        videos.push_back(folder + "/" + movieChunkName(int(i)));
        const auto videoOnly = ffmpegCommand(
            {"-i", settings.join[i], "-map", "0:v", "-c", "copy", "-f", "mp4", videos.back()});
        ok = processSucceeded(startProcess(videoOnly, -1, -1, log));
    }
    std::string problem;
    ok = ok && joinChunks(videos, whole, firstFrame, lastFrame, folder, log, problem);
    removeWorkFolder(folder);
    if (!ok) {
        error = stopRequested() ? "stopped" : !problem.empty() ? problem : ffmpegFailure(log, true);
    }
    if (!logWorthKeeping(log, !ok && problem.empty())) {
        unlink(log.c_str());
    }
    if (ok) {
        folders.keep();
    }
    return ok;
}
