// The generated glyph table (common/font_8x13.inc, made by tools/font) laid out as a texture.
#include "web/gl/font.h"

namespace lfgl {

namespace {
#include "common/font_8x13.inc"

static_assert(kFontAscent + kFontDescent == kGlyphHeight, "the font is not 13 pixels high");
} // namespace

int glyphDescent() { return kFontDescent; }

int glyphAdvance(unsigned char code) { return kGlyphAdvance[code]; }

void glyphCell(unsigned char code, int& x, int& y) {
    x = (code % 16) * kGlyphWidth;
    y = (code / 16) * kGlyphHeight;
}

void fillFontAtlas(unsigned char* texels) {
    for (int code = 0; code < 256; ++code) {
        int x0, y0;
        glyphCell(static_cast<unsigned char>(code), x0, y0);
        for (int row = 0; row < kGlyphHeight; ++row) {
            const unsigned char bits = kGlyphRows[code][kGlyphHeight - 1 - row];
            for (int column = 0; column < kGlyphWidth; ++column) {
                const bool on = (bits >> (7 - column)) & 1;
                texels[(y0 + row) * kFontAtlasWidth + x0 + column] = on ? 255 : 0;
            }
        }
    }
}

} // namespace lfgl
