// Reading a PCM WAV file into memory for the Windows sound device, which takes the samples as
// they are. Kept free of Windows so the native tests can check it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct wavSound {
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t bitsPerSample = 0;
    std::vector<unsigned char> samples; // the data chunk, whole sample frames only

    size_t bytesPerFrame() const { return size_t(channels) * (bitsPerSample / 8); }
    double bytesPerSecond() const { return double(sampleRate) * double(bytesPerFrame()); }
    // Whether a sound device must be told the format in its extensible form: more than 16 bits
    // or more than two channels, which the plain form cannot say.
    bool needsExtensibleFormat() const { return bitsPerSample > 16 || channels > 2; }
};

// Parses a RIFF/WAVE file of integer PCM (8, 16, 24 or 32 bits, plain or extensible format);
// false with the reason in `why` for anything else. The reason completes a sentence that starts
// with the file's name ("... is not a WAV file"); `why` is "" after a success.
bool parseWav(const unsigned char* data, size_t size, wavSound& sound, std::string& why);
// The same for a file; false with the reason when it is missing or cannot be read.
bool readWav(const std::string& path, wavSound& sound, std::string& why);
