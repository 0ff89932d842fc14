// glRasterPos and GLUT's bitmap characters: each glyph is a window-aligned quad whose fragments
// are looked up in the font texture, drawn with the raster colour and depth.
#include "web/gl/context.h"
#include "web/gl/font.h"

#include <cmath>

namespace lfgl {

void Context::rasterPos(float x, float y, float z) {
    const Vec4 clip = projection() * (modelView() * Vec4{x, y, z, 1});
    RasterPosition& r = state.raster;
    r.valid = std::fabs(clip.x) <= clip.w && std::fabs(clip.y) <= clip.w &&
              std::fabs(clip.z) <= clip.w && clip.w > 0;
    if (!r.valid) {
        return;
    }
    // Scale and offset as separate terms: (ndc + 1) * w / 2 put a position meant to be 3 at
    // 2.9999998, and the glyph a pixel to the left of the system GL's.
    const int* v = state.viewport;
    const float halfWidth = float(v[2]) / 2, halfHeight = float(v[3]) / 2;
    r.window[0] = clip.x / clip.w * halfWidth + (float(v[0]) + halfWidth);
    r.window[1] = clip.y / clip.w * halfHeight + (float(v[1]) + halfHeight);
    r.window[2] = clip.z / clip.w * 0.5f + 0.5f;
    r.colour = state.colour; // lighting is off wherever the show places text
}

void Context::bitmapCharacter(unsigned char c) {
    RasterPosition& r = state.raster;
    if (!r.valid || c == 0) {
        return; // GLUT draws nothing for character 0 and does not advance
    }
    const float x0 = std::floor(r.window[0]);
    const float y0 = std::floor(r.window[1]) - float(glyphDescent());
    int cellX, cellY;
    glyphCell(c, cellX, cellY);
    StreamVertex v{};
    for (int i = 0; i < 4; ++i) {
        v.colour[i] = r.colour.v[i];
    }
    v.position[2] = r.window[2];
    const uint32_t first = uint32_t(stream.vertices.size());
    const int corners[4][2] = {{0, 0}, {kGlyphWidth, 0}, {kGlyphWidth, kGlyphHeight},
                               {0, kGlyphHeight}};
    for (const auto& corner : corners) {
        v.position[0] = x0 + float(corner[0]);
        v.position[1] = y0 + float(corner[1]);
        v.normal[0] = float(cellX + corner[0]);
        v.normal[1] = float(cellY + corner[1]);
        stream.vertices.push(v);
    }
    Batch& batch = batchFor(Shape::Triangles, Kind::Glyph);
    for (uint32_t k : {0u, 1u, 2u, 0u, 2u, 3u}) {
        stream.indices.push(first + k);
    }
    batch.indexCount += 6;
    r.window[0] += float(glyphAdvance(c));
}

} // namespace lfgl
