// GL readback and thumbnails; the PNG writer is picture_png.cpp (libpng), or the platform's own.
#include "common/picture.h"

#include <GL/gl.h>


picture readBackBuffer(int width, int height) {
    picture p;
    p.width = width;
    p.height = height;
    p.rgb.resize(size_t(width) * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

bool savePng(const picture& p, const std::string& path) {
    return savePng(p.rgb.data(), p.width, p.height, path);
}

picture shrink(const picture& p, int factor) {
    picture small;
    small.width = p.width / factor;
    small.height = p.height / factor;
    small.rgb.resize(size_t(small.width) * small.height * 3);
    for (int y = 0; y < small.height; ++y) {
        for (int x = 0; x < small.width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    for (int dx = 0; dx < factor; ++dx) {
                        sum += p.at(x * factor + dx, y * factor + dy)[channel];
                    }
                }
                small.rgb[(size_t(y) * small.width + x) * 3 + channel] =
                    (unsigned char)(sum / (factor * factor));
            }
        }
    }
    return small;
}

void paste(picture& sheet, const picture& tile, int x, int y) {
    for (int row = 0; row < tile.height && y + row < sheet.height; ++row) {
        for (int column = 0; column < tile.width && x + column < sheet.width; ++column) {
            const unsigned char* from = tile.at(column, row);
            unsigned char* to = &sheet.rgb[(size_t(y + row) * sheet.width + x + column) * 3];
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}
