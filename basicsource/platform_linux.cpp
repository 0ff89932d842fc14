// The Linux platform layer: the animation clock on the monotonic clock, the resources path and
// the hooks. Sound lives next door in audio_sdl.cpp, behind the audioBackend interface.
#include "basicsource/platform.h"

#include "basicsource/program_state.h"
#include "basicsource/resource_lookup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int32_t monotonicMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec / 1000000);
    // Kept to 32 bits like the tick counts; ticksBetween stays right across the wrap.
    return int32_t(uint32_t(ms));
}

// Differences of 32-bit readings taken modulo 2^32, so a wrap of the clock is no overflow.
int32_t ticksBetween(int32_t later, int32_t earlier) {
    return int32_t(uint32_t(later) - uint32_t(earlier));
}

clockSource gClockSource = monotonicMilliseconds;
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

void platformInitialise() {
    // The GL driver's immediate-mode buffers shrink and regrow every frame; letting glibc give
    // the top of the heap back each time costs dozens of brk calls a frame. Keep it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void platformWindup() { currentAudio().shutdown(); }

const char* const kSoundtrackName = "Sonavel.wav";

namespace {

std::string findResourceDirectory() {
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string executableDirectory;
    if (length > 0) {
        executableDirectory.assign(exe, size_t(length));
        executableDirectory.erase(executableDirectory.find_last_of('/'));
    }
    return chooseResourceDirectory(executableDirectory, [](const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    });
}

} // namespace

std::string resourceDirectory() {
    // Chosen once: a jump or a restart must not depend on files removed since start-up.
    static const std::string directory = findResourceDirectory();
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
    gClockSource = source ? source : monotonicMilliseconds;
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
