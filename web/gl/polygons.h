// How a glBegin block falls into polygons: calls visit(corners, n) for each, with n 3 or 4 and
// corners counted from the block's first vertex. Points and too-short blocks give none.
#pragma once

#include "web/gl/backend.h"

#include <cstdint>

namespace lfgl {

template <typename Visit> void forEachPolygon(GLenum mode, uint32_t count, Visit visit) {
    uint32_t c[4];
    if (mode == GL_TRIANGLES || mode == GL_QUADS) {
        const uint32_t n = mode == GL_TRIANGLES ? 3 : 4;
        for (uint32_t i = 0; i + n <= count; i += n) {
            for (uint32_t k = 0; k < n; ++k) {
                c[k] = i + k;
            }
            visit(c, int(n));
        }
    } else if (mode == GL_TRIANGLE_STRIP) {
        for (uint32_t i = 0; i + 3 <= count; ++i) {
            // Every other triangle is turned round so that all keep the strip's winding.
            c[0] = i + (i % 2);
            c[1] = i + 1 - (i % 2);
            c[2] = i + 2;
            visit(c, 3);
        }
    } else if (mode == GL_POLYGON && count == 4) {
        for (uint32_t k = 0; k < 4; ++k) {
            c[k] = k;
        }
        visit(c, 4);
    } else if (mode == GL_POLYGON || mode == GL_TRIANGLE_FAN) {
        for (uint32_t i = 1; i + 2 <= count; ++i) {
            c[0] = 0;
            c[1] = i;
            c[2] = i + 1;
            visit(c, 3);
        }
    }
}

// A quad is split along its 0-2 diagonal, as the system GL the tests compare with splits it, so
// that colours that differ between its corners interpolate alike (measured: the other diagonal
// put some pixels of the tests' lit cube 3/255 apart).
const int kQuadTriangles[6] = {0, 1, 2, 0, 2, 3};
// The system GL splits the quads of a display list along the other diagonal (measured: lit
// cubes replayed from a list came out up to 4/255 apart with the split above, identical so).
const int kListQuadTriangles[6] = {0, 1, 3, 1, 2, 3};

} // namespace lfgl
