// Glyphs from the table, bottom row first as glBitmap reads them.
#include "common/bitmap_font.h"

#include "basicsource/utility.h"

#include <GL/gl.h>

namespace {
#include "common/font_8x13.inc"

const int kGlyphHeight = 13;
static_assert(kFontAscent + kFontDescent == kGlyphHeight, "the font is not 13 pixels high");
static_assert(kGlyphHeight == kTextHeight && kFontDescent == kTextDescent,
              "the text's extent is not the font's");

// Every glyph turned upside down once: glBitmap's first row is the bottom one.
struct glyphBitmaps {
    unsigned char rows[256][kGlyphHeight];
    glyphBitmaps() {
        for (int code = 0; code < 256; ++code) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                rows[code][row] = kGlyphRows[code][kGlyphHeight - 1 - row];
            }
        }
    }
};

} // namespace

void drawFontCharacter(unsigned char c) {
    static const glyphBitmaps glyphs;
    if (c == 0) {
        return; // GLUT draws nothing for character 0 and does not move on
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBitmap(8, kGlyphHeight, 0, float(kFontDescent), float(kGlyphAdvance[c]), 0, glyphs.rows[c]);
    glPopClientAttrib();
}
