// Builds BMP files byte by byte for the terrain tests, with every header field under control.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct bmpSpec {
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colourTable = 0;
    uint32_t gapAfterHeaders = 0; // bytes between the 54 header bytes and the pixels
    bool writeOffBits = true;     // false: offBits stays 0, as careless writers leave it
    unsigned char padding = 0xEE; // value of the row padding bytes
    // Blue, green, red of pixel (row in file order, column); grey 128 by default.
    std::function<void(int, int, unsigned char*)> pixel;
};

std::vector<unsigned char> makeBmp(const bmpSpec& spec);
// Writes bytes to dir/resources/name (making the folders); returns the file's path.
std::string writeResource(const std::string& dir, const std::string& name,
                          const std::vector<unsigned char>& bytes);
