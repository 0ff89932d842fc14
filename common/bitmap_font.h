// The 8 x 13 bitmap font from the project's own glyph table (font_8x13.inc, made from the
// public-domain misc-fixed font), drawn with glBitmap: the same pixels as GLUT's 8 x 13 font,
// for a program that runs without a window system and so without GLUT.
#pragma once

// Draws the character at the raster position and moves the position on, as GLUT's does.
void drawFontCharacter(unsigned char c);
