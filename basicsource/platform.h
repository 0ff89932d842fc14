// The few services that depend on the operating system: the animation clock, the resources
// directory, the soundtrack, and the texture and movie hooks. Nothing outside the platform
// files knows Linux, SDL or ffmpeg; tests swap in a controllable clock and a silent audio backend.
#pragma once

#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

void platformInitialise();
void platformWindup();

// The folder the data files come from: "./resources" when it holds the ground image, else the
// one beside the executable or its installed place (see resource_lookup.h). The caller's buffer
// must hold kResourcePathSize bytes.
const size_t kResourcePathSize = 1024;
void getPathToResourceDirectory(char* path);
// The same folder as a string ("resources" for the working directory's), and a file in it.
std::string resourceDirectory();
std::string resourceFile(const char* name);

// Makes the folder and its parents; true when it exists afterwards.
bool makeDirectories(const std::string& dir);
// Whether anything (file, folder, link) has that name.
bool pathExists(const std::string& path);

// The animation clock, in whole milliseconds underneath and seconds outside. A pause holds it;
// a reset starts it at 0 s, running.
void resetAnimationTimer();
void pauseAnimationTimer();
void unpauseAnimationTimer();
float getAnimationTime();
// Show time in whole milliseconds, and a jump to such a time (paused stays paused).
int64_t animationTimeMilliseconds();
void setAnimationTimeMilliseconds(int64_t showMilliseconds);
// Show seconds per real second (kept in thousandths); a change takes effect from now on.
void setAnimationSpeed(double speed);
double animationSpeed();

// A source of "now" in whole milliseconds; only differences of readings are used.
typedef int32_t (*clockSource)();
// Replaces the real-time clock (tests drive the animation with a controllable source);
// nullptr restores the monotonic real-time clock.
void setClockSource(clockSource source);
int32_t platformNow();

// Asynchronous WAV playback: plays the file once in the background, replacing whatever plays.
// Failures (no audio device, missing or unreadable file) are silent: the show runs on.
void playSoundFile(const char* theCFilename);

// Plays the file from `seconds` into it, or holds it there paused; heard only when not muted.
void playSoundFileFrom(const char* theCFilename, double seconds, bool paused);

// Music hooks; they act on whatever playSoundFile or startMusic started.
void startMusic(const char* theCFilename);
void stopMusic();
void pauseMusic();
void unpauseMusic();
// Moves what plays to `seconds` into the file, playing or paused as it was.
void seekMusic(double seconds);
// Where the sound being heard is, in seconds into the file; negative when nothing plays.
double musicPlayedSeconds();
// While muted nothing is heard: playing and resuming leave the sound paused. Unmuting does not
// resume by itself.
void setMusicMuted(bool muted);

// Where the sound goes. The real backend plays through the sound card; tests install their own.
class audioBackend {
  public:
    virtual ~audioBackend() = default;
    virtual void play(const char* theCFilename) = 0;
    virtual void pause() = 0;
    virtual void resume() = 0;
    virtual void stop() = 0;
    virtual void seek(double) {}
    // Starts the file at `seconds`, or holds it there paused, without a moment of its start.
    virtual void playFrom(const char* theCFilename, double seconds, bool paused) {
        play(theCFilename);
        seek(seconds);
        if (paused) {
            pause();
        }
    }
    virtual void shutdown() {}
    // Where in the file the sound being heard now is, in seconds; negative when nothing plays.
    virtual double playedSeconds() const { return -1; }
    // Bytes of sound still waiting to be played; 0 when nothing plays.
    virtual uint32_t queuedBytes() const { return 0; }
};
// nullptr restores the system backend. The caller keeps ownership of the backend it installs.
void setAudioBackend(audioBackend* backend);
audioBackend& systemAudioBackend();

// Returns an OpenGL texture name, 0 when nothing was loaded.
GLuint loadTextureFile(const char* theCFilename, bool generateMipmaps);

// Renders the show to a movie while the program mode is kpmMakingMovie.
void RenderMovie();
// Replaces what RenderMovie does (tests watch key m without rendering two minutes of film);
// nullptr restores the real renderer.
void setMovieHook(void (*hook)());

// What a movie is made of, and where it goes.
struct movieFormat {
    int width = 720;
    int height = 576;
    int fps = 25;
    int crf = 23;                  // the encoder's quality: 0 lossless ... 51 worst
    int firstFrame = 0;            // the show's number of the first frame (its time * fps)
    float from = 0;                // show time of the first frame, seconds
    float to = 130;                // show time of the last frame
    std::string soundtrack;        // WAV for the audio track; empty or missing: no audio
    std::string output = "movie/lumenfold.mp4";
    // When set, the encoded chunks are left in this folder for a later join instead.
    std::string chunkDirectory;
};

// Frames are encoded in chunks of this many frames on a fixed grid of the show's frame numbers,
// each chunk starting on a key frame, so a movie is the same however its range was split.
const int kMovieChunkFrames = 250;

// Receives the frames of a movie. The finished movie replaces an earlier one only when it is
// complete; a cancelled one leaves nothing behind.
class movieSink {
  public:
    virtual ~movieSink() = default;
    // width * height * 3 bytes of RGB, rows bottom-up as GL reads them.
    virtual bool writeFrame(const unsigned char* rgb) = 0;
    // Completes the movie and puts it in place; false when that failed.
    virtual bool finish() = 0;
    // Removes everything partial and keeps the previous movie.
    virtual void cancel() = 0;
    // Where the finished movie is (or was to be).
    virtual std::string describe() const = 0;
};

// An H.264 MP4 through the ffmpeg program; numbered PNG files next to the output when ffmpeg
// is not installed. Null when the output folder cannot be made.
std::unique_ptr<movieSink> openMovieSink(const movieFormat& format);

// How the work of a movie went, summed over every process that made part of it.
struct movieSplit {
    int frames = 0;
    double renderSeconds = 0, readbackSeconds = 0, encodeSeconds = 0, joinSeconds = 0;
    double cpuSeconds = 0; // user + system time of every process, encoders included
};

// Renders the frames first..last in `jobs` processes of this program, each making a run of whole
// chunks (the arguments for one come from `childArguments(first, last, chunkFolder)`), then
// joins them into format.output. A failure or a cancel (SIGINT, SIGTERM) ends every part and
// leaves nothing behind; the previous movie stays. Returns false with `error` set.
bool renderInParallel(const movieFormat& format, int firstFrame, int lastFrame, int jobs,
                      const std::function<std::vector<std::string>(int, int, const std::string&)>&
                          childArguments,
                      movieSplit& split, std::string& error);
// A part's report, written by the process that made it into its chunk folder.
void writePartReport(const std::string& chunkDirectory, int firstFrame, const movieSplit& split);

// Joins movies of consecutive ranges of the show (made by lumenfold-movie --from/--to) into
// `output`, the video copied as it is and the soundtrack laid once over the whole.
bool joinMovies(const std::vector<std::string>& parts, const std::string& output,
                const std::string& soundtrack, std::string& error);

// Whether movies can be encoded (ffmpeg is installed); without it they become PNG files.
bool movieEncoderAvailable();
// The number of processor cores.
int processorCount();
// True once SIGINT or SIGTERM has asked the program to stop (after catchStopSignals).
void catchStopSignals();
bool stopRequested();
