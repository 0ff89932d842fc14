// The platform layer's own logic, the same everywhere: the animation clock's arithmetic over
// whatever "now" the platform gives, the music hooks over the audio backend, the resource
// folder chosen once, and the texture and movie hooks. What differs per platform is in
// platform_linux.cpp (with audio_sdl.cpp) and in the web build's platform files.
#include "basicsource/platform.h"

#include "basicsource/program_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// Differences of 32-bit readings taken modulo 2^32, so a wrap of the clock is no overflow.
int32_t ticksBetween(int32_t later, int32_t earlier) {
    return int32_t(uint32_t(later) - uint32_t(earlier));
}

clockSource gClockSource = platformClockMilliseconds;
audioBackend* gAudioBackend = nullptr;

audioBackend& currentAudio() { return gAudioBackend ? *gAudioBackend : systemAudioBackend(); }

} // namespace

// The animation clock runs from an anchor: the show time `tBaseMs` at clock reading `tStartTime`,
// then the readings since, less the paused milliseconds, times the speed. A reset, a jump or a
// change of speed moves the anchor, so every reading stays a whole number of milliseconds.
static int32_t tStartTime = 0;
static int32_t tPauseStarted = 0;
static int32_t tPausedTime = 0;
static int64_t tBaseMs = 0;
static bool tPaused = false;
static int64_t tSpeedPerMille = 1000;

namespace {

// Show milliseconds at the clock reading `now`; a pause in progress counts up to its start.
int64_t showMillisecondsAt(int32_t now) {
    int32_t until = tPaused ? tPauseStarted : now;
    int64_t ticks = ticksBetween(ticksBetween(until, tStartTime), tPausedTime);
    return tBaseMs + ticks * tSpeedPerMille / 1000;
}

void anchorAt(int64_t showMilliseconds) {
    tStartTime = platformNow();
    tPausedTime = 0;
    tBaseMs = showMilliseconds;
    if (tPaused) {
        tPauseStarted = tStartTime;
    }
}

} // namespace

void shutdownMusic() { currentAudio().shutdown(); }

const char* const kSoundtrackName = "Sonavel.wav";

std::string resourceDirectory() {
    // Chosen once: a jump or a restart must not depend on files removed since start-up.
    static const std::string directory = platformResourceDirectory();
    return directory;
}

std::string resourceFile(const char* name) { return resourceDirectory() + "/" + name; }

std::string soundtrackFile() { return resourceFile(kSoundtrackName); }

void getPathToResourceDirectory(char* path) {
    std::string directory = resourceDirectory();
    if (directory == "resources" || directory.size() >= kResourcePathSize) {
        directory = "./resources";
    }
    std::memcpy(path, directory.c_str(), directory.size() + 1);
}

void setClockSource(clockSource source) {
    gClockSource = source ? source : platformClockMilliseconds;
}

int32_t platformNow() { return gClockSource(); }

void resetAnimationTimer() {
    tPaused = false;
    anchorAt(0);
}

void pauseAnimationTimer() {
    if (!tPaused) {
        tPauseStarted = platformNow();
        tPaused = true;
    }
}

void unpauseAnimationTimer() {
    if (tPaused) {
        int32_t thisPause = ticksBetween(platformNow(), tPauseStarted);
        tPausedTime = int32_t(uint32_t(tPausedTime) + uint32_t(thisPause));
        tPaused = false;
    }
}

void setAnimationTimeMilliseconds(int64_t showMilliseconds) { anchorAt(showMilliseconds); }

int64_t animationTimeMilliseconds() { return showMillisecondsAt(platformNow()); }

void setAnimationSpeed(double speed) {
    int64_t now = showMillisecondsAt(platformNow());
    tSpeedPerMille = std::max<int64_t>(1, std::llround(speed * 1000));
    anchorAt(now);
}

double animationSpeed() { return double(tSpeedPerMille) / 1000; }

float getAnimationTime() {
    // Frozen at the last value computed once the show has finished.
    static float retValue = 0;
    if (gProgramMode == kpmFinished) {
        return retValue;
    }
    retValue = float(double(showMillisecondsAt(platformNow())) / 1000.0);
    return retValue;
}

void setAudioBackend(audioBackend* backend) { gAudioBackend = backend; }

namespace {
void (*gSoundProblemHook)(const std::string&) = nullptr;
} // namespace

void setSoundProblemHook(void (*hook)(const std::string& notice)) { gSoundProblemHook = hook; }

void reportSoundProblem(const std::string& message, const std::string& notice) {
    std::fprintf(stderr, "lumenfold: %s\n", message.c_str());
    std::fflush(stderr);
    if (gSoundProblemHook) {
        gSoundProblemHook(notice);
    }
}

namespace {
bool gMusicMuted = false;
} // namespace

void playSoundFile(const char* theCFilename) {
    if (theCFilename) {
        currentAudio().play(theCFilename);
        if (gMusicMuted) {
            currentAudio().pause();
        }
    }
}

void playSoundFileFrom(const char* theCFilename, double seconds, bool paused) {
    if (theCFilename) {
        currentAudio().playFrom(theCFilename, seconds, paused || gMusicMuted);
    }
}

void startMusic(const char* theCFilename) { playSoundFile(theCFilename); }
void stopMusic() { currentAudio().stop(); }
void pauseMusic() { currentAudio().pause(); }
void unpauseMusic() {
    if (!gMusicMuted) {
        currentAudio().resume();
    }
}
void seekMusic(double seconds) { currentAudio().seek(seconds); }
double musicPlayedSeconds() { return currentAudio().playedSeconds(); }
void setMusicMuted(bool muted) {
    gMusicMuted = muted;
    if (muted) {
        currentAudio().pause();
    }
}

GLuint loadTextureFile(const char*, bool) {
    // Nothing in the show is textured; 0 means "no texture".
    return 0;
}

namespace {
bool (*gMovieHook)() = nullptr;
} // namespace

void setMovieHook(bool (*hook)()) { gMovieHook = hook; }

bool RenderMovie() { return gMovieHook ? gMovieHook() : true; }

bool movieRendererInstalled() { return gMovieHook != nullptr; }
