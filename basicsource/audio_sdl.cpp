// The system audio backend: plays a WAV file once through SDL2's audio subsystem (no SDL window).
// SDL's own thread pulls the samples from our buffer through a callback, so the show never waits
// for the sound; without a device or a readable file the show runs on silently. The decoded file
// is kept, so restarting the show with the same soundtrack allocates nothing.
#include "basicsource/platform.h"

#include <SDL.h>

#include <algorithm>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

class sdlAudioBackend : public audioBackend {
  public:
    void play(const char* theCFilename) override { playFrom(theCFilename, 0, false); }

    void playFrom(const char* theCFilename, double seconds, bool startPaused) override {
        stop(); // a new sound replaces the old one even when the new one cannot be played
        if (!ensureInitialised() || !load(theCFilename) || !ensureDevice(loadedSpec)) {
            return;
        }
        SDL_LockAudioDevice(device);
        position = byteOffsetOf(seconds);
        lastFillCounter = 0; // nothing of this sound handed over yet
        playing = true;
        SDL_UnlockAudioDevice(device);
        paused = startPaused;
        SDL_PauseAudioDevice(device, startPaused ? 1 : 0);
    }

    void pause() override {
        if (device) {
            SDL_PauseAudioDevice(device, 1);
            paused = true;
        }
    }

    void resume() override {
        if (device && paused) {
            SDL_PauseAudioDevice(device, 0);
            paused = false;
        }
    }

    void stop() override {
        if (device) {
            SDL_PauseAudioDevice(device, 1);
            SDL_LockAudioDevice(device);
            playing = false;
            SDL_UnlockAudioDevice(device);
            paused = false;
        }
    }

    void seek(double seconds) override {
        if (!device || !playing) {
            return;
        }
        SDL_LockAudioDevice(device);
        position = byteOffsetOf(seconds);
        lastFillCounter = 0;
        SDL_UnlockAudioDevice(device);
    }

    void shutdown() override {
        if (device) {
            SDL_CloseAudioDevice(device);
            device = 0;
        }
        if (initialised) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            SDL_Quit();
            initialised = false;
        }
        failed = false;
        playing = false;
    }

    // The device asks for a buffer when it is about to play it, so what is heard now is the last
    // buffer handed over, as far into it as the time since.
    double playedSeconds() const override {
        if (!device || !playing || paused) {
            return -1;
        }
        SDL_LockAudioDevice(device);
        const double perSecond = double(loadedSpec.freq) * bytesPerFrame();
        const double bufferSeconds = double(openedSpec.samples) / openedSpec.freq;
        const double since = double(SDL_GetPerformanceCounter() - lastFillCounter) /
                             double(SDL_GetPerformanceFrequency());
        const double heard = lastFillCounter == 0
                                 ? double(position) / perSecond
                                 : double(lastFillPosition) / perSecond + std::min(since, bufferSeconds);
        SDL_UnlockAudioDevice(device);
        return heard;
    }

    uint32_t queuedBytes() const override {
        if (!device) {
            return 0;
        }
        SDL_LockAudioDevice(device);
        uint32_t left = playing ? uint32_t(samples.size() - position) : 0;
        SDL_UnlockAudioDevice(device);
        return left;
    }

  private:
    // The start of the whole sample frame at that time; past the end means silence.
    size_t bytesPerFrame() const {
        return size_t(SDL_AUDIO_BITSIZE(loadedSpec.format) / 8) * loadedSpec.channels;
    }
    size_t byteOffsetOf(double seconds) const {
        const double frames = std::max(0.0, seconds) * loadedSpec.freq;
        return std::min(samples.size(), size_t(frames) * bytesPerFrame());
    }

    // Runs on SDL's audio thread with the device locked.
    static void fill(void* userdata, Uint8* stream, int length) {
        auto* self = static_cast<sdlAudioBackend*>(userdata);
        size_t wanted = size_t(length), copied = 0;
        self->lastFillPosition = self->position;
        self->lastFillCounter = SDL_GetPerformanceCounter();
        if (self->playing) {
            copied = std::min(wanted, self->samples.size() - self->position);
            std::memcpy(stream, self->samples.data() + self->position, copied);
            self->position += copied;
        }
        std::memset(stream + copied, self->openedSpec.silence, wanted - copied);
    }

    // SDL starts only when the first sound is asked for, so start-up pays nothing for it.
    // A failure is remembered: asking a missing device again each time the show restarts
    // would only repeat the driver's complaints.
    bool ensureInitialised() {
        if (initialised) {
            return true;
        }
        if (failed) {
            return false;
        }
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Lumenfold");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            failed = true;
            return false;
        }
        initialised = true;
        return true;
    }

    // Decodes the file into `samples`, unless it is the file decoded last time, unchanged.
    bool load(const char* path) {
        struct stat info;
        if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
            return false;
        }
        if (loadedPath == path && loadedSize == info.st_size &&
            loadedTime == info.st_mtim.tv_sec && !samples.empty()) {
            return true;
        }
        SDL_AudioSpec spec;
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV(path, &spec, &buffer, &length)) {
            return false;
        }
        if (device) {
            SDL_LockAudioDevice(device); // the callback must not read while the buffer changes
        }
        samples.assign(buffer, buffer + length);
        position = 0;
        if (device) {
            SDL_UnlockAudioDevice(device);
        }
        SDL_FreeWAV(buffer);
        loadedSpec = spec;
        loadedPath = path;
        loadedSize = info.st_size;
        loadedTime = info.st_mtim.tv_sec;
        return true;
    }

    // The device is opened in the file's own format (SDL converts for the hardware) and is
    // reopened only when a file in another format comes along.
    bool ensureDevice(const SDL_AudioSpec& wanted) {
        if (device && wanted.freq == openedSpec.freq && wanted.format == openedSpec.format &&
            wanted.channels == openedSpec.channels) {
            return true;
        }
        if (device) {
            SDL_CloseAudioDevice(device);
            device = 0;
        }
        SDL_AudioSpec desired = wanted;
        // About 23 ms at 44.1 kHz: after a jump the old sound plays out within that.
        desired.samples = 1024;
        desired.callback = fill;
        desired.userdata = this;
        SDL_AudioSpec obtained;
        device = SDL_OpenAudioDevice(nullptr, 0, &desired, &obtained, 0);
        if (!device) {
            loadedPath.clear(); // try the file again once a device can be had
            return false;
        }
        openedSpec = obtained;
        return true;
    }

    bool initialised = false;
    bool failed = false;
    bool paused = false;
    bool playing = false; // read by the audio thread under the device lock
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec openedSpec{};
    SDL_AudioSpec loadedSpec{};
    std::vector<Uint8> samples;
    size_t position = 0;
    // Where the last buffer handed to the device began, and when (0: none since the last seek).
    size_t lastFillPosition = 0;
    Uint64 lastFillCounter = 0;
    std::string loadedPath;
    off_t loadedSize = 0;
    time_t loadedTime = 0;
};

} // namespace

audioBackend& systemAudioBackend() {
    // Never destroyed: GLUT's close callback and fatal's exit may still reach it while static
    // objects are being torn down. platformWindup closes the device before the process ends.
    static sdlAudioBackend* backend = new sdlAudioBackend;
    return *backend;
}
