// The 8 x 13 bitmap font as a texture: 16 x 16 character cells, row 0 of the texture at the
// bottom as GL bitmaps are, one byte a texel (255 where a glyph has a pixel).
#pragma once

namespace lfgl {

const int kGlyphWidth = 8;
const int kGlyphHeight = 13;
const int kFontAtlasWidth = 16 * kGlyphWidth;
const int kFontAtlasHeight = 16 * kGlyphHeight;

// How far the cell reaches below the baseline, and how far the raster position moves.
int glyphDescent();
int glyphAdvance(unsigned char code);
// The texel at the lower left of a character's cell.
void glyphCell(unsigned char code, int& x, int& y);

void fillFontAtlas(unsigned char* texels);

} // namespace lfgl
