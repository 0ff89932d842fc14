// GL readback and PNG output through libpng.
#include "helpers/picture.h"

#include <GL/gl.h>
#include <png.h>

#include <cstdio>
#include <sys/stat.h>

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
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = p.height - 1; y >= 0; --y) {
        png_write_row(png, const_cast<png_bytep>(p.at(0, y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

std::string pictureDirectory() {
    std::string dir = LUMENFOLD_PICTURE_DIR;
    mkdir(dir.c_str(), 0755);
    return dir;
}
