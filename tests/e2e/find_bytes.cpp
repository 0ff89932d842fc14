// A helper of the end-to-end tests, for looking into what SDL's disk audio driver wrote. Where a
// moment of the soundtrack lies, and how many bytes a second of it takes, comes from the WAV
// file's own header (the device plays its samples as they are):
//   find_bytes sound WAV FROM FILE  exit 0 when FILE holds WAV's samples of a moment FROM seconds
//                                   into it or later, and print that moment
//   find_bytes rate WAV             print WAV's bytes a second
//   find_bytes zeros FILE FROM      exit 0 when FILE has bytes after FROM, all zero
#include "windows/wav_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// What must match of a moment: 512 bytes (128 stereo 16-bit frames, about 3 ms).
const size_t kBlock = 512;
// Moments looked for: every hundredth of a second. A program that keeps its sound in step on a
// loaded machine moves it often, and the device may play only pieces of the music; any piece
// longer than this spacing holds one of them whole.
const double kGridSeconds = 0.01;

std::vector<unsigned char> slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

bool readSound(const char* path, wavSound& sound) {
    std::string why;
    if (!readWav(path, sound, why)) {
        std::fprintf(stderr, "find_bytes: %s: %s\n", path, why.c_str());
        return false;
    }
    return true;
}

uint64_t wordAt(const unsigned char* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Exit status 0 when found, 1 when not, 2 when the sound cannot be had. The moments' blocks are
// indexed by their first eight bytes (silence is left out: it is no proof of the music), then
// every whole frame of the file is looked up.
int findSound(const char* wav, double from, const char* path) {
    wavSound sound;
    if (!readSound(wav, sound) || sound.bytesPerFrame() == 0 || from < 0) {
        return 2;
    }
    const std::vector<unsigned char>& samples = sound.samples;
    std::unordered_multimap<uint64_t, size_t> moments;
    for (double t = from;; t += kGridSeconds) {
        const size_t offset = size_t(t * sound.sampleRate) * sound.bytesPerFrame();
        if (offset + kBlock > samples.size()) {
            break;
        }
        const uint64_t word = wordAt(&samples[offset]);
        if (word != 0) {
            moments.emplace(word, offset);
        }
    }
    const std::vector<unsigned char> file = slurp(path);
    for (size_t at = 0; at + kBlock <= file.size(); at += sound.bytesPerFrame()) {
        const auto candidates = moments.equal_range(wordAt(&file[at]));
        for (auto it = candidates.first; it != candidates.second; ++it) {
            if (std::memcmp(&file[at], &samples[it->second], kBlock) == 0) {
                std::printf("%.2f\n", double(it->second / sound.bytesPerFrame()) / sound.sampleRate);
                return 0;
            }
        }
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "sound") == 0) {
        return findSound(argv[2], std::strtod(argv[3], nullptr), argv[4]);
    }
    if (argc == 3 && std::strcmp(argv[1], "rate") == 0) {
        wavSound sound;
        if (!readSound(argv[2], sound)) {
            return 2;
        }
        std::printf("%.0f\n", sound.bytesPerSecond());
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "zeros") == 0) {
        const std::vector<unsigned char> file = slurp(argv[2]);
        const size_t from = std::strtoul(argv[3], nullptr, 10);
        if (file.size() <= from) {
            return 2;
        }
        return std::all_of(file.begin() + long(from), file.end(), [](unsigned char c) { return c == 0; }) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: find_bytes sound WAV FROM FILE | rate WAV | zeros FILE FROM\n");
    return 2;
}
