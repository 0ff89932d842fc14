// A helper of the end-to-end tests, for looking into what SDL's disk audio driver wrote. Where a
// moment of the soundtrack lies, and how many bytes a second of it takes, comes from the WAV
// file's own header (the device plays its samples as they are):
//   find_bytes sound WAV SECONDS LENGTH FILE  exit 0 when LENGTH bytes of WAV's samples from
//                                             SECONDS into it occur in FILE
//   find_bytes rate WAV                       prints WAV's bytes a second
//   find_bytes zeros FILE FROM                exit 0 when FILE has bytes after FROM, all zero
#include "windows/wav_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
std::vector<char> slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

bool readSound(const char* path, wavSound& sound) {
    std::string why;
    if (!readWav(path, sound, why)) {
        std::fprintf(stderr, "find_bytes: %s: %s\n", path, why.c_str());
        return false;
    }
    return true;
}

// Exit status 0 when the samples are found in the file, 1 when not, 2 when they cannot be had.
int findSound(const char* wav, double seconds, size_t length, const char* path) {
    wavSound sound;
    if (!readSound(wav, sound)) {
        return 2;
    }
    const size_t offset = size_t(std::floor(seconds * sound.sampleRate)) * sound.bytesPerFrame();
    if (seconds < 0 || offset + length > sound.samples.size()) {
        return 2;
    }
    const std::vector<char> file = slurp(path);
    const auto first = sound.samples.begin() + long(offset);
    auto found = std::search(file.begin(), file.end(), first, first + long(length),
                             [](char a, unsigned char b) { return a == char(b); });
    if (found == file.end()) {
        return 1;
    }
    std::printf("%ld\n", long(found - file.begin()));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "sound") == 0) {
        return findSound(argv[2], std::strtod(argv[3], nullptr),
                         std::strtoul(argv[4], nullptr, 10), argv[5]);
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
        std::vector<char> file = slurp(argv[2]);
        size_t from = std::strtoul(argv[3], nullptr, 10);
        if (file.size() <= from) {
            return 2;
        }
        return std::all_of(file.begin() + long(from), file.end(), [](char c) { return c == 0; }) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: find_bytes sound WAV SECONDS LENGTH FILE | rate WAV | zeros FILE FROM\n");
    return 2;
}
