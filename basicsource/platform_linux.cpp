// The Linux platform layer: the animation clock on the monotonic clock, the resources path and
// the hooks. Sound lives next door in audio_sdl.cpp, behind the audioBackend interface.
#include "basicsource/platform.h"

#include "basicsource/constants.h"
#include "basicsource/main.h"
#include "basicsource/movie.h"

#include <cstring>
#include <ctime>
#include <malloc.h>

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

// Clock reading at the last reset, at the last pause, and the milliseconds paused since reset.
static int32_t tStartTime = 0;
static int32_t tPauseStarted = 0;
static int32_t tPausedTime = 0;

void platformInitialise() {
    // The GL driver's immediate-mode buffers shrink and regrow every frame; letting glibc give
    // the top of the heap back each time costs dozens of brk calls a frame. Keep it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void platformWindup() { currentAudio().shutdown(); }

void getPathToResourceDirectory(char* path) { std::strcpy(path, "./resources"); }

void setClockSource(clockSource source) {
    gClockSource = source ? source : monotonicMilliseconds;
}

int32_t platformNow() { return gClockSource(); }

void resetAnimationTimer() {
    tStartTime = platformNow();
    tPausedTime = 0;
}

void pauseAnimationTimer() { tPauseStarted = platformNow(); }

void unpauseAnimationTimer() {
    int32_t thisPause = ticksBetween(platformNow(), tPauseStarted);
    tPausedTime = int32_t(uint32_t(tPausedTime) + uint32_t(thisPause));
}

float getAnimationTime() {
    // Frozen at the last value computed once the show has finished.
    static float retValue = 0;
    if (gProgramMode == kpmFinished) {
        return retValue;
    }
    int32_t ticks = ticksBetween(ticksBetween(platformNow(), tStartTime), tPausedTime);
    retValue = float(double(ticks) / 1000.0);
    return retValue;
}

void setAudioBackend(audioBackend* backend) { gAudioBackend = backend; }

void playSoundFile(const char* theCFilename) {
    if (theCFilename) {
        currentAudio().play(theCFilename);
    }
}

void startMusic(const char* theCFilename) { playSoundFile(theCFilename); }
void stopMusic() { currentAudio().stop(); }
void pauseMusic() { currentAudio().pause(); }
void unpauseMusic() { currentAudio().resume(); }

GLuint loadTextureFile(const char*, bool) {
    // Nothing in the show is textured; 0 means "no texture".
    return 0;
}

namespace {
void (*gMovieHook)() = nullptr;
} // namespace

void setMovieHook(void (*hook)()) { gMovieHook = hook; }

void RenderMovie() {
    if (gMovieHook) {
        gMovieHook();
        return;
    }
    movieOptions options;
    options.showProgress = true;
    movieReport report = renderShowMovie(options);
    if (report.cancelled) {
        // Escape stops the movie and then quits, as it always does.
        KeyPress(27, 0, 0);
    }
}
