// Reading a frame back from the GL back buffer and saving it as a PNG: for pictures of the show
// (tests, the contact sheet) and for the movie's PNG frames.
#pragma once

#include <string>
#include <vector>

struct picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // rows bottom-up, as GL returns them

    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
    bool isBlack(int x, int y) const {
        const unsigned char* p = at(x, y);
        return (p[0] | p[1] | p[2]) == 0;
    }
};

// The back buffer of the current window.
picture readBackBuffer(int width, int height);
// Writes the picture top-down as an 8-bit RGB PNG; false when the file cannot be written.
bool savePng(const picture& p, const std::string& path);
// The same for pixels held elsewhere (rows bottom-up), without copying them.
bool savePng(const unsigned char* rgb, int width, int height, const std::string& path);
// The picture scaled down by a whole factor (box filter), for thumbnails.
picture shrink(const picture& p, int factor);
// Copies `tile` into `sheet` with its lower-left corner at (x, y).
void paste(picture& sheet, const picture& tile, int x, int y);
