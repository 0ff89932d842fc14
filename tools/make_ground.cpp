// Generates resources/ground.bmp, the show's terrain image: 181 x 181 grey pixels (the most the
// reader accepts) of gentle hills with higher ridges far out, and a level pad under every dome
// of the show whose surface lies just below the dome's rim. Deterministic: same bytes every run.
//
//   make_ground OUTPUT.bmp
#include "tools/ground_layout.h"

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_ground OUTPUT.bmp\n");
        return 2;
    }
    std::vector<unsigned char> bmp = groundBmp();
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bmp.data(), 1, bmp.size(), out) != bmp.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_ground: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
