// A mesh corner: its point and its smooth-shading normal. Drawing hands the addresses of the two
// vectors straight to glVertex3fv and glNormal3fv, so each must stay four packed floats.
#pragma once

#include "support/vec.h"

class vertex {
  public:
    vertex() = default;
    // Sets the point (w = 1) and leaves the normal alone.
    void set(float x, float y, float z) { coordinate.set(x, y, z); }

    vec coordinate;
    vec normal;
};

static_assert(sizeof(vec) == 4 * sizeof(float), "vec must be four packed floats");
static_assert(sizeof(vertex) == 8 * sizeof(float), "vertex must be two packed vecs");
