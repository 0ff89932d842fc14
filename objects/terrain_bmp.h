// The reader of the terrain's BMP images, working on bytes in memory so that every check can be
// tested (and fuzzed) without ending the process. It accepts uncompressed 24-bit images of at
// most 32767 pixels and turns each pixel's brightness into a height from -1 to 0.9921875.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct terrainGrid {
    short width = 0;
    short height = 0;
    std::vector<float> heights; // row by row in file order (bottom row first), left to right
};

struct terrainBmpResult {
    bool ok = false;
    std::string message; // the first failure, when not ok
    terrainGrid grid;
};

terrainBmpResult parseTerrainBmp(const unsigned char* data, size_t size);

// The height of a pixel: its brightness, 0 to 255, mapped to -1 .. 0.9921875.
float pixelHeight(unsigned char blue, unsigned char green, unsigned char red);

extern const char* const kTerrainNotBmp;
extern const char* const kTerrainTooLarge;
extern const char* const kTerrainColourTable;
extern const char* const kTerrainCompressed;
extern const char* const kTerrainPastEnd;
extern const char* const kTerrainTooShort;
extern const char* const kTerrainBadSize;
extern const char* const kTerrainNot24Bit;
