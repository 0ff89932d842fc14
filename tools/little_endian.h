// Appending little-endian fields to a byte buffer: the generators and tests that write BMP and
// WAV files share it.
#pragma once

#include <cstdint>
#include <vector>

inline void put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

inline void put32(std::vector<unsigned char>& out, uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
