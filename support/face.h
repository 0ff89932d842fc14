// A mesh face: a triangle or a quadrilateral given by indices into its owner's vertex array,
// counter-clockwise seen from the front, with the face normal its owner computes.
#pragma once

#include "support/vec.h"

class face {
  public:
    face() = default;
    void init(short a, short b, short c);
    void init(short a, short b, short c, short d);
    // Corner n's vertex index; a corner beyond `vertices` ends the program through fatal.
    short vertex(unsigned short n) const;

    short vertices = 0;
    short vert[4] = {0, 0, 0, 0};
    vec faceNormal;
};
