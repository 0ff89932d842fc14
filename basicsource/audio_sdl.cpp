// The system audio backend: plays a WAV file once through SDL2's audio subsystem (no SDL window).
// The whole file is queued on the device at once, so SDL's own thread plays it in the background
// and the show never waits for it; without a device or a readable file the show runs on silently.
#include "basicsource/platform.h"

#include <SDL.h>

namespace {

class sdlAudioBackend : public audioBackend {
  public:
    void play(const char* theCFilename) override {
        stop(); // a new sound replaces the old one even when the new one cannot be played
        if (!ensureInitialised()) {
            return;
        }
        SDL_AudioSpec spec;
        Uint8* buffer = nullptr;
        Uint32 length = 0;
        if (!SDL_LoadWAV(theCFilename, &spec, &buffer, &length)) {
            return;
        }
        if (ensureDevice(spec)) {
            SDL_QueueAudio(device, buffer, length);
            SDL_PauseAudioDevice(device, 0);
            paused = false;
        }
        SDL_FreeWAV(buffer);
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
            SDL_ClearQueuedAudio(device);
            paused = false;
        }
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
    }

    uint32_t queuedBytes() const override { return device ? SDL_GetQueuedAudioSize(device) : 0; }

  private:
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

    // The device is opened in the file's own format (SDL converts for the hardware) and is
    // reopened only when a file in another format comes along.
    bool ensureDevice(const SDL_AudioSpec& wanted) {
        if (device && wanted.freq == opened.freq && wanted.format == opened.format &&
            wanted.channels == opened.channels) {
            return true;
        }
        if (device) {
            SDL_CloseAudioDevice(device);
            device = 0;
        }
        SDL_AudioSpec desired = wanted;
        desired.samples = 4096;
        desired.callback = nullptr; // queued audio
        desired.userdata = nullptr;
        device = SDL_OpenAudioDevice(nullptr, 0, &desired, nullptr, 0);
        if (!device) {
            return false;
        }
        opened = wanted;
        return true;
    }

    bool initialised = false;
    bool failed = false;
    bool paused = false;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec opened{};
};

} // namespace

audioBackend& systemAudioBackend() {
    // Never destroyed: GLUT's close callback and fatal's exit may still reach it while static
    // objects are being torn down. platformWindup closes the device before the process ends.
    static sdlAudioBackend* backend = new sdlAudioBackend;
    return *backend;
}
