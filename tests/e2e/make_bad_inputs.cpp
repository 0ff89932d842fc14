// Writes the corpus of broken (and a few odd but valid) ground images for the end-to-end test
// of bad inputs, and prints one line per case: FILE<TAB>what the program must print, or ACCEPT
// when the reader takes the file and the show must start.
//   make_bad_inputs DIR
#include "helpers/bmp_builder.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string gDir;

void emit(const std::string& name, const std::vector<unsigned char>& bytes, const char* outcome) {
    std::string path = gDir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    std::printf("%s\t%s\n", name.c_str(), outcome);
}

bmpSpec sized(int w, int h) {
    bmpSpec s;
    s.width = w;
    s.height = h;
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bad_inputs DIR\n");
        return 2;
    }
    gDir = argv[1];
    const char* tooShort = "terrain BMP file is too short to hold its headers";
    const char* pastEnd = "somehow managed to read past the end of the terrain BMP file!";
    const char* badSize =
        "terrain BMP must have a positive width and height (top-down BMPs are not supported)";
    const char* tooLarge =
        "BMP too large to create a terrain - it would have too many vertices and/or faces";
    const char* colourTable =
        "trying to create a terrain from an 8-bit BMP file - please convert it to 24-bit";
    const char* compressed =
        "trying to create a terrain from compressed BMP file - it must be uncompressed";
    const char* not24 = "terrain BMP must have 24 bits per pixel";

    std::vector<unsigned char> good = makeBmp(sized(5, 4));
    // Cut inside or at the start of every header field, and inside the pixels.
    for (size_t cut : {0, 1, 2, 6, 8, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 53}) {
        emit("cut-at-" + std::to_string(cut) + ".bmp",
             std::vector<unsigned char>(good.begin(), good.begin() + long(cut)), tooShort);
    }
    emit("cut-in-pixels.bmp", std::vector<unsigned char>(good.begin(), good.begin() + 70), pastEnd);
    emit("headers-only.bmp", std::vector<unsigned char>(good.begin(), good.begin() + 54), pastEnd);
    std::vector<unsigned char> notBmp = good;
    notBmp[0] = 'G';
    notBmp[1] = 'I';
    emit("not-a-bmp.bmp", notBmp, "tried to create a terrain from a non-BMP file");

    emit("zero-width.bmp", makeBmp(sized(0, 4)), badSize);
    emit("zero-height.bmp", makeBmp(sized(4, 0)), badSize);
    emit("negative-height.bmp", makeBmp(sized(4, -4)), badSize);
    emit("negative-width.bmp", makeBmp(sized(-4, 4)), badSize);
    emit("over-the-cap.bmp", makeBmp(sized(256, 128)), tooLarge);
    emit("far-over-the-cap.bmp", makeBmp(sized(70000, 2)), tooLarge);

    auto depth = [](int bits, uint32_t table, uint32_t compression) {
        bmpSpec s = sized(6, 6);
        s.bitCount = uint16_t(bits);
        s.colourTable = table;
        s.compression = compression;
        return makeBmp(s);
    };
    emit("1-bit.bmp", depth(1, 2, 0), colourTable);
    emit("8-bit.bmp", depth(8, 256, 0), colourTable);
    emit("8-bit-no-table-count.bmp", depth(8, 0, 0), not24);
    emit("16-bit.bmp", depth(16, 0, 0), not24);
    emit("16-bit-bitfields.bmp", depth(16, 0, 3), compressed);
    emit("32-bit.bmp", depth(32, 0, 0), not24);
    emit("rle8.bmp", depth(8, 256, 1), colourTable);
    emit("rle4-no-table-count.bmp", depth(4, 0, 2), compressed);
    emit("24-bit-rle.bmp", depth(24, 0, 1), compressed);

    bmpSpec v5 = sized(9, 7);
    v5.gapAfterHeaders = 84;
    emit("v5-header.bmp", makeBmp(v5), "ACCEPT");
    emit("one-pixel.bmp", makeBmp(sized(1, 1)), "ACCEPT");
    std::vector<unsigned char> longer = good;
    longer.insert(longer.end(), 4096, 0x7f);
    emit("extra-bytes.bmp", longer, "ACCEPT");
    return 0;
}
