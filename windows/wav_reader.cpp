// RIFF chunks are walked in order: "fmt " must say integer PCM before "data" is taken; other
// chunks (lists, facts) are skipped, each padded to an even length as RIFF asks.
#include "windows/wav_reader.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace {

uint32_t read16(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t read32(const unsigned char* p) { return read16(p) | read16(p + 2) << 16; }

const uint32_t kFormatPcm = 1;
const uint32_t kFormatExtensible = 0xfffe;

// The format's problem, "" when the sound device can be asked to play it.
std::string formatProblem(uint32_t format, const wavSound& sound) {
    if (format != kFormatPcm) {
        return "is not integer PCM (its format is " + std::to_string(format) + ")";
    }
    if (sound.channels == 0) {
        return "names no channels";
    }
    if (sound.sampleRate == 0) {
        return "names no sample rate";
    }
    const unsigned bits = sound.bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        return "has " + std::to_string(bits) + "-bit samples, not 8, 16, 24 or 32";
    }
    return "";
}

bool parseFormat(const unsigned char* chunk, uint32_t length, wavSound& sound, std::string& why) {
    if (length < 16) {
        why = "has a format chunk too short to read";
        return false;
    }
    uint32_t format = read16(chunk);
    if (format == kFormatExtensible && length >= 26) {
        format = read16(chunk + 24); // the sub-format GUID starts with the plain format's code
    }
    sound.channels = uint16_t(read16(chunk + 2));
    sound.sampleRate = read32(chunk + 4);
    sound.bitsPerSample = uint16_t(read16(chunk + 14));
    why = formatProblem(format, sound);
    return why.empty();
}

} // namespace

bool parseWav(const unsigned char* data, size_t size, wavSound& sound, std::string& why) {
    sound = wavSound();
    why.clear();
    if (size < 12 || std::string(reinterpret_cast<const char*>(data), 4) != "RIFF" ||
        std::string(reinterpret_cast<const char*>(data + 8), 4) != "WAVE") {
        why = "is not a WAV file";
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= size;) {
        const std::string id(reinterpret_cast<const char*>(data + at), 4);
        const size_t length = read32(data + at + 4);
        const size_t available = size - (at + 8);
        if (id == "fmt ") {
            if (length > available) {
                why = "is cut short in its format chunk";
                return false;
            }
            if (!parseFormat(data + at + 8, uint32_t(length), sound, why)) {
                return false;
            }
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) {
                why = "has its samples before their format";
                return false;
            }
            // A file cut short keeps what it has, as a player would play it.
            size_t bytes = length < available ? length : available;
            bytes -= bytes % sound.bytesPerFrame();
            if (bytes == 0) {
                // Nothing to play: a device handed no samples would only be asked again and again.
                why = "has no samples";
                return false;
            }
            sound.samples.assign(data + at + 8, data + at + 8 + bytes);
            return true;
        }
        if (length > available) {
            break;
        }
        at += 8 + length + (length & 1);
    }
    why = haveFormat ? "has no samples" : "has no format chunk";
    return false;
}

bool readWav(const std::string& path, wavSound& sound, std::string& why) {
    sound = wavSound();
    errno = 0;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        why = errno == ENOENT ? "is missing" : "cannot be opened";
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char block[1 << 16];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file.get())) > 0) {
        bytes.insert(bytes.end(), block, block + got);
    }
    if (std::ferror(file.get())) {
        why = "cannot be read";
        return false;
    }
    return parseWav(bytes.data(), bytes.size(), sound, why);
}
