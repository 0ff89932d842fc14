// Pictures as PNG files on Windows, through the one-header PNG writer Debian packages
// (libstb-dev): libpng is not packaged for mingw, and Windows' own imaging component would add
// COM and two system libraries to a program that otherwise needs only GL, GDI, user, kernel and
// winmm.
#include "common/picture.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

bool savePng(const unsigned char* rgb, int width, int height, const std::string& path) {
    // GL's rows come bottom-up; PNG's go top-down.
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path.c_str(), width, height, 3, rgb, width * 3) != 0;
}
