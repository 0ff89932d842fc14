// Turns an 8-pixel-wide X bitmap font into the C++ table the layer draws its text from:
//   make_font FONT.pcf[.gz] OUTPUT.inc          writes the table
//   make_font --check FONT.pcf[.gz] OUTPUT.inc  exit 0 when OUTPUT is what it would write,
//                                               1 when not, 77 when the font is not installed
#include "tools/font/pcf.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string hexByte(int b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02x", b & 0xFF);
    return text;
}

std::string table(const lfgl::CellFont& font, const std::string& source) {
    const size_t height = size_t(font.ascent + font.descent);
    std::ostringstream out;
    out << "// Made by make_font (tools/font) from " << baseName(source)
        << ",\n// the public-domain misc-fixed font of xfonts-base. Do not edit: run the tool.\n";
    out << "const int kFontAscent = " << font.ascent << ";\n";
    out << "const int kFontDescent = " << font.descent << ";\n";
    out << "// Rows from the top; bit 7 is the leftmost pixel.\n";
    out << "const unsigned char kGlyphRows[256][" << height << "] = {\n";
    for (size_t code = 0; code < 256; ++code) {
        out << "    {";
        for (size_t r = 0; r < height; ++r) {
            const auto& cell = font.cells[code];
            out << (r ? ", " : "") << hexByte(cell.empty() ? 0 : cell[r]);
        }
        out << "}, // " << code << "\n";
    }
    out << "};\n";
    out << "const unsigned char kGlyphAdvance[256] = {";
    for (size_t code = 0; code < 256; ++code) {
        out << (code % 16 ? " " : "\n    ") << font.advance[code] << ",";
    }
    out << "\n};\n";
    return out.str();
}

} // namespace

int main(int argc, char** argv) {
    const bool check = argc == 4 && std::string(argv[1]) == "--check";
    if (argc != 3 && !check) {
        std::fprintf(stderr, "usage: make_font [--check] FONT.pcf[.gz] OUTPUT.inc\n");
        return 2;
    }
    const std::string fontPath = argv[check ? 2 : 1], outputPath = argv[check ? 3 : 2];
    std::vector<uint8_t> bytes;
    if (!lfgl::readMaybeCompressed(fontPath, bytes)) {
        std::fprintf(stderr, "make_font: cannot read %s (is xfonts-base installed?)\n",
                     fontPath.c_str());
        return check ? 77 : 1;
    }
    lfgl::CellFont font;
    std::string error;
    if (!lfgl::readPcf(bytes, font, error) || font.ascent + font.descent <= 0) {
        std::fprintf(stderr, "make_font: %s: %s\n", fontPath.c_str(), error.c_str());
        return 1;
    }
    const std::string text = table(font, fontPath);
    if (check) {
        std::ifstream in(outputPath, std::ios::binary);
        std::stringstream committed;
        committed << in.rdbuf();
        if (committed.str() != text) {
            std::fprintf(stderr, "make_font: %s is not what %s makes\n", outputPath.c_str(),
                         fontPath.c_str());
            return 1;
        }
        return 0;
    }
    std::ofstream out(outputPath, std::ios::binary);
    out << text;
    return out.good() ? 0 : 1;
}
