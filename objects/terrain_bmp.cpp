// BMP header checks and pixel decoding for the terrain. Multi-byte fields are little-endian.
#include "objects/terrain_bmp.h"

#include <cstdint>

const char* const kTerrainNotBmp = "tried to create a terrain from a non-BMP file";
const char* const kTerrainTooLarge =
    "BMP too large to create a terrain - it would have too many vertices and/or faces";
const char* const kTerrainColourTable =
    "trying to create a terrain from an 8-bit BMP file - please convert it to 24-bit";
const char* const kTerrainCompressed =
    "trying to create a terrain from compressed BMP file - it must be uncompressed";
const char* const kTerrainPastEnd = "somehow managed to read past the end of the terrain BMP file!";
const char* const kTerrainTooShort = "terrain BMP file is too short to hold its headers";
const char* const kTerrainBadSize =
    "terrain BMP must have a positive width and height (top-down BMPs are not supported)";
const char* const kTerrainNot24Bit = "terrain BMP must have 24 bits per pixel";

namespace {

const size_t kHeadersSize = 14 + 40;

uint16_t read16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t read32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

terrainBmpResult failure(const char* message) {
    terrainBmpResult result;
    result.message = message;
    return result;
}

} // namespace

float pixelHeight(unsigned char blue, unsigned char green, unsigned char red) {
    return float((0.3 * red + 0.59 * green + 0.11 * blue) / 128.0 - 1);
}

terrainBmpResult parseTerrainBmp(const unsigned char* data, size_t size) {
    if (size >= 2 && read16(data) != 0x4D42) {
        return failure(kTerrainNotBmp);
    }
    if (size < kHeadersSize) {
        return failure(kTerrainTooShort);
    }
    const uint32_t offBits = read32(data + 10);
    const int32_t fullWidth = int32_t(read32(data + 18));
    const int32_t fullHeight = int32_t(read32(data + 22));
    const uint16_t bitCount = read16(data + 28);
    const uint32_t compression = read32(data + 30);
    const uint32_t colourTable = read32(data + 46);

    // Zero and negative sizes (negative heights mean rows stored top-down) make no grid; sizes
    // beyond 16 bits would be cut to their low bits and read as some other size.
    if (fullWidth <= 0 || fullHeight <= 0) {
        return failure(kTerrainBadSize);
    }
    if (fullWidth > 32767 || fullHeight > 32767 || long(fullWidth) * fullHeight * 2 > 65535) {
        return failure(kTerrainTooLarge);
    }
    if (colourTable != 0) {
        return failure(kTerrainColourTable);
    }
    if (compression != 0) {
        return failure(kTerrainCompressed);
    }
    // Other depths would be read as three bytes a pixel and give a wrong terrain.
    if (bitCount != 24) {
        return failure(kTerrainNot24Bit);
    }

    terrainBmpResult result;
    terrainGrid& grid = result.grid;
    grid.width = short(fullWidth);
    grid.height = short(fullHeight);
    // Longer info headers (V4, V5) push the pixels further: offBits says where they start.
    const size_t start = offBits > kHeadersSize ? size_t(offBits) : kHeadersSize;
    const size_t rowBytes = size_t(grid.width) * 3;
    const size_t padding = (4 - rowBytes % 4) % 4;
    // Every pixel must be there; the padding after the last row may be missing.
    const size_t needed = (rowBytes + padding) * size_t(grid.height) - padding;
    if (start > size || size - start < needed) {
        return failure(kTerrainPastEnd);
    }
    grid.heights.reserve(size_t(grid.width) * size_t(grid.height));
    const unsigned char* row = data + start;
    for (int r = 0; r < grid.height; ++r, row += rowBytes + padding) {
        for (int c = 0; c < grid.width; ++c) {
            const unsigned char* pixel = row + c * 3;
            grid.heights.push_back(pixelHeight(pixel[0], pixel[1], pixel[2]));
        }
    }
    result.ok = true;
    return result;
}
