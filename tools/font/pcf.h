// A reader of the X server's compiled bitmap font files (.pcf, as Debian's xfonts-base ships
// them), enough to take the glyphs of a fixed-cell font out as one bitmap per character code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lfgl {

// A character cell `width` wide and `ascent + descent` high, its rows from the top; bit 7 of
// each row's byte is the cell's leftmost pixel (cells up to 8 wide).
struct CellFont {
    int width = 0, ascent = 0, descent = 0;
    std::vector<std::vector<uint8_t>> cells; // one per code 0..255; empty where none
    std::vector<int> advance;                // per code
};

// Reads a font from the file's bytes (already decompressed); false and a reason when the bytes
// are not such a font or its glyphs do not fit an 8-pixel cell.
bool readPcf(const std::vector<uint8_t>& bytes, CellFont& font, std::string& error);

// The bytes of a gzip-compressed file, or of a plain one; false when it cannot be read.
bool readMaybeCompressed(const std::string& path, std::vector<uint8_t>& bytes);

} // namespace lfgl
