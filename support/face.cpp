// Face set-up and the guarded corner read.
#include "support/face.h"

#include "basicsource/utility.h"

void face::init(short a, short b, short c) {
    vert[0] = a;
    vert[1] = b;
    vert[2] = c;
    vertices = 3;
}

void face::init(short a, short b, short c, short d) {
    vert[0] = a;
    vert[1] = b;
    vert[2] = c;
    vert[3] = d;
    vertices = 4;
}

short face::vertex(unsigned short n) const {
    if (n >= vertices) {
        fatal("face::vertex() tried to read invalid vertex index");
    }
    return vert[n];
}
