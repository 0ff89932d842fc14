// The system audio backend on Windows: the soundtrack through winmm's waveOut. The whole file is
// decoded once and handed to the device as one buffer starting at the wanted sample, so a jump
// is a reset and a new buffer; pause and resume are the device's own. Where the sound heard is
// comes from the device's position since that buffer began. Without a device or a playable file
// the show runs on silently, saying why once (reportSoundProblem).
#include "basicsource/platform.h"

#include "basicsource/files.h"
#include "windows/wav_reader.h"

#include <windows.h>
#include <mmreg.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

class winmmAudioBackend : public audioBackend {
  public:
    void play(const char* theCFilename) override { playFrom(theCFilename, 0, false); }

    void playFrom(const char* theCFilename, double seconds, bool startPaused) override {
        stop(); // a new sound replaces the old one even when the new one cannot be played
        if (!load(theCFilename) || !ensureDevice()) {
            return;
        }
        paused = startPaused;
        startAt(byteOffsetOf(seconds));
    }

    void pause() override {
        if (device && playing && !paused) {
            waveOutPause(device);
            paused = true;
        }
    }

    void resume() override {
        if (device && playing && paused) {
            waveOutRestart(device);
            paused = false;
        }
    }

    void stop() override {
        if (device && playing) {
            releaseBuffer();
        }
        playing = false;
        paused = false;
    }

    void seek(double seconds) override {
        if (device && playing) {
            releaseBuffer();
            startAt(byteOffsetOf(seconds));
        }
    }

    void shutdown() override {
        stop();
        if (device && !prepared) {
            waveOutClose(device);
            device = nullptr;
        } else if (device) {
            leaveSamplesToDevice();
        }
    }

    double playedSeconds() const override {
        if (!device || !playing || paused) {
            return -1;
        }
        return double(std::min(sound.samples.size(), base + devicePosition())) /
               sound.bytesPerSecond();
    }

    uint32_t queuedBytes() const override {
        if (!device || !playing) {
            return 0;
        }
        return uint32_t(sound.samples.size() - std::min(sound.samples.size(), base + devicePosition()));
    }

  private:
    size_t byteOffsetOf(double seconds) const {
        const double frames = std::max(0.0, seconds) * sound.sampleRate;
        return std::min(sound.samples.size(), size_t(frames) * sound.bytesPerFrame());
    }

    // Bytes played since the current buffer was handed over.
    size_t devicePosition() const {
        MMTIME time{};
        time.wType = TIME_BYTES;
        if (waveOutGetPosition(device, &time, sizeof time) != MMSYSERR_NOERROR) {
            return 0;
        }
        if (time.wType == TIME_SAMPLES) {
            return size_t(time.u.sample) * sound.bytesPerFrame();
        }
        return time.wType == TIME_BYTES ? size_t(time.u.cb) : 0;
    }

    // Hands the samples from `offset` on to the device; paused stays paused, with nothing heard.
    void startAt(size_t offset) {
        if (paused) {
            waveOutPause(device);
        } else {
            waveOutRestart(device);
        }
        base = offset;
        playing = true;
        if (offset >= sound.samples.size()) {
            return; // past the end: silence
        }
        header = WAVEHDR{};
        header.lpData = reinterpret_cast<LPSTR>(sound.samples.data() + offset);
        header.dwBufferLength = DWORD(sound.samples.size() - offset);
        if (waveOutPrepareHeader(device, &header, sizeof header) == MMSYSERR_NOERROR) {
            prepared = true;
            waveOutWrite(device, &header, sizeof header);
        }
    }

    // Takes the buffer back from the device: a reset marks it done, at once on an idle machine but
    // only after a while on a loaded one; until then the device may still read the samples, so
    // they must not be freed or replaced (a device still reading them at exit crashed the program).
    void releaseBuffer() {
        waveOutReset(device);
        for (int tries = 0; prepared && tries < 2000; ++tries) {
            if (waveOutUnprepareHeader(device, &header, sizeof header) != WAVERR_STILLPLAYING) {
                prepared = false;
                break;
            }
            Sleep(5);
            waveOutReset(device);
        }
    }

    // The device never let go of its buffer: the samples it reads are left to it, never freed
    // under it, and the program goes on without that device.
    void leaveSamplesToDevice() {
        new std::vector<unsigned char>(std::move(sound.samples));
        sound.samples.clear();
        device = nullptr;
        prepared = false;
    }

    // Decodes the file unless it is the one decoded last time.
    bool load(const char* path) {
        if (!path) {
            return false;
        }
        if (loadedPath == path && !sound.samples.empty()) {
            return true;
        }
        std::string why;
        if (device && prepared) {
            leaveSamplesToDevice(); // it still reads the samples that are about to be replaced
        } else if (device) {
            waveOutClose(device);
            device = nullptr;
        }
        loadedPath.clear();
        if (!readWav(path, sound, why)) {
            sayOnce("no sound: " + shownPath(path) + " " + why + "; the show plays silently",
                    "No sound: " + baseNameOf(path) + " " + why);
            return false;
        }
        loadedPath = path;
        return true;
    }

    // The file's format as the device is told it: plain PCM up to 16 bits and two channels, the
    // extensible form beyond (Windows refuses 24- and 32-bit samples in the plain form).
    WAVEFORMATEXTENSIBLE deviceFormat() const {
        WAVEFORMATEXTENSIBLE format{};
        WAVEFORMATEX& plain = format.Format;
        plain.wFormatTag = WAVE_FORMAT_PCM;
        plain.nChannels = sound.channels;
        plain.nSamplesPerSec = sound.sampleRate;
        plain.wBitsPerSample = sound.bitsPerSample;
        plain.nBlockAlign = WORD(sound.bytesPerFrame());
        plain.nAvgBytesPerSec = sound.sampleRate * plain.nBlockAlign;
        if (sound.needsExtensibleFormat()) {
            // KSDATAFORMAT_SUBTYPE_PCM, spelt out: naming it would need another library.
            static const GUID kSubtypePcm = {0x00000001, 0x0000, 0x0010,
                                             {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
            plain.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
            plain.cbSize = sizeof format - sizeof plain;
            format.Samples.wValidBitsPerSample = sound.bitsPerSample;
            format.dwChannelMask = sound.channels == 1   ? SPEAKER_FRONT_CENTER
                                   : sound.channels == 2 ? SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT
                                                         : 0;
            format.SubFormat = kSubtypePcm;
        }
        return format;
    }

    // Opens the default device in the file's own format (Windows converts for the hardware).
    // A failure is said once: asking again each time the show restarts would repeat it.
    bool ensureDevice() {
        if (device) {
            return true;
        }
        if (failed) {
            return false;
        }
        WAVEFORMATEXTENSIBLE format = deviceFormat();
        const MMRESULT result =
            waveOutOpen(&device, WAVE_MAPPER, &format.Format, 0, 0, CALLBACK_NULL);
        if (result == MMSYSERR_NOERROR) {
            return true;
        }
        device = nullptr;
        failed = true;
        if (result == WAVERR_BADFORMAT) {
            const std::string what = std::to_string(sound.bitsPerSample) + "-bit, " +
                                     std::to_string(sound.sampleRate) + " Hz, " +
                                     std::to_string(sound.channels) + " channels";
            sayOnce("no sound: the sound device cannot play " + shownPath(loadedPath) + " (" +
                        what + "); the show plays silently",
                    "No sound: the device cannot play " + baseNameOf(loadedPath));
            return false;
        }
        char text[MAXERRORLENGTH] = "";
        waveOutGetErrorTextA(result, text, sizeof text);
        sayOnce(std::string("no sound device (") + text + "); the show plays silently",
                "No sound: no sound device");
        return false;
    }

    // Whatever makes the show silent is said the first time only: the show asks for its sound
    // again at every restart and jump.
    void sayOnce(const std::string& message, const std::string& notice) {
        if (!told) {
            told = true;
            reportSoundProblem(message, notice);
        }
    }

    HWAVEOUT device = nullptr;
    WAVEHDR header{};
    bool prepared = false;
    bool failed = false;
    bool told = false;
    bool playing = false;
    bool paused = false;
    size_t base = 0; // where in the samples the device's buffer begins
    wavSound sound;
    std::string loadedPath;
};

} // namespace

audioBackend& systemAudioBackend() {
    // Never destroyed: GLUT's close callback and exit may still reach it while static objects
    // are being torn down. platformWindup closes the device before the process ends.
    static winmmAudioBackend* backend = new winmmAudioBackend;
    return *backend;
}
