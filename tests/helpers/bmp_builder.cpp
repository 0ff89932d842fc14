// BMP writer for tests.
#include "helpers/bmp_builder.h"

#include "tools/little_endian.h"

#include <fstream>
#include <sys/stat.h>

std::vector<unsigned char> makeBmp(const bmpSpec& spec) {
    std::vector<unsigned char> out;
    int rows = spec.height > 0 ? spec.height : -spec.height;
    int columns = spec.width > 0 ? spec.width : 0;
    size_t rowBytes = size_t(columns) * 3;
    size_t padding = (4 - rowBytes % 4) % 4;
    out.push_back('B');
    out.push_back('M');
    put32(out, uint32_t(54 + spec.gapAfterHeaders + (rowBytes + padding) * size_t(rows)));
    put16(out, 0);
    put16(out, 0);
    put32(out, spec.writeOffBits ? 54 + spec.gapAfterHeaders : 0);
    put32(out, 40 + spec.gapAfterHeaders);
    put32(out, uint32_t(spec.width));
    put32(out, uint32_t(spec.height));
    put16(out, 1);
    put16(out, spec.bitCount);
    put32(out, spec.compression);
    put32(out, 0);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, spec.colourTable);
    put32(out, 0);
    out.insert(out.end(), spec.gapAfterHeaders, 0x55);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            unsigned char bgr[3] = {128, 128, 128};
            if (spec.pixel) {
                spec.pixel(r, c, bgr);
            }
            out.insert(out.end(), bgr, bgr + 3);
        }
        out.insert(out.end(), padding, spec.padding);
    }
    return out;
}

std::string writeResource(const std::string& dir, const std::string& name,
                          const std::vector<unsigned char>& bytes) {
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/resources").c_str(), 0755);
    std::string path = dir + "/resources/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}
