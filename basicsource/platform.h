// The few services that depend on the operating system: the animation clock, the resources
// directory, the soundtrack, and the texture and movie hooks. Their shared logic is in
// platform.cpp; each platform gives the handful of functions at the end of this header
// (platform_linux.cpp with audio_sdl.cpp; web/platform_web.cpp with web/audio_web.cpp). Files
// and folders are in files.h. Tests swap in a controllable clock and an audio backend.
#pragma once

#include <GL/gl.h>
#include <cstddef>
#include <cstdint>
#include <string>

// Winds the platform down before the program ends (keys Escape and q, closing the window).
void platformWindup();
// Winds the platform down and ends the program, as keys Escape and q do. On the desktop it does
// not return; in a browser, where a page cannot end itself, the show stops and the page stays.
void platformEndProgram();

// The folder the data files come from: "./resources" when it holds the ground image, else the
// one beside the executable or its installed place (see resource_lookup.h). The caller's buffer
// must hold kResourcePathSize bytes.
const size_t kResourcePathSize = 1024;
void getPathToResourceDirectory(char* path);
// The same folder as a string ("resources" for the working directory's), and a file in it.
// The folder is chosen once, at the first call: later calls never look at the disk.
std::string resourceDirectory();
std::string resourceFile(const char* name);
// The soundtrack's name in the resource folder, and where it is.
extern const char* const kSoundtrackName;
std::string soundtrackFile();

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
// Ends the sound and lets its device go (when the program ends).
void shutdownMusic();
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
// nullptr restores the platform's own backend (systemAudioBackend, below). The caller keeps
// ownership of the backend it installs.
void setAudioBackend(audioBackend* backend);

// Why the soundtrack is not heard, said by a platform's sound when it gives up on it: `message`
// on standard error ("lumenfold: " before it) and the shorter `notice` through the hook, which
// the player installs to show it in the window. The backend decides that it is said once.
void reportSoundProblem(const std::string& message, const std::string& notice);
// nullptr: nothing but the message.
void setSoundProblemHook(void (*hook)(const std::string& notice));

// Returns an OpenGL texture name, 0 when nothing was loaded.
GLuint loadTextureFile(const char* theCFilename, bool generateMipmaps);

// The movie hook, run while the program mode is kpmMakingMovie (key m). It does nothing until a
// renderer is installed; the renderer returns false when the user asked to quit during it.
bool RenderMovie();
// nullptr leaves the hook doing nothing.
void setMovieHook(bool (*hook)());
// Whether a renderer is installed (the web build has none).
bool movieRendererInstalled();

// ---- What each platform gives ----------------------------------------------------------------
// Its start-up (before the window opens); "now" in whole milliseconds on a clock that only
// moves forward (only differences are used); the folder the data files are in, found once; and
// its sound (audioBackend above).
void platformInitialise();
int32_t platformClockMilliseconds();
std::string platformResourceDirectory();
audioBackend& systemAudioBackend();
// The window's display mode before GLUT creates it: double-buffered RGB with a depth buffer,
// multisampled with the most samples up to `samples` the display offers; returns the samples
// asked for (1: none).
int platformChooseDisplayMode(int samples);
// Full screen on or off (the window's, back to its earlier size and place; the page's in a
// browser), and whether it is on. Every way to full screen goes through the toggle: f, F11,
// --fullscreen, the strip's button and the double click.
void platformToggleFullScreen();
bool platformFullScreen();
// Puts the finished file `made` in the place of `name` in one step, replacing what is there, so
// a reader sees the old file or the new one, never half of one; false when it could not.
bool platformReplaceFile(const std::string& made, const std::string& name);
