// The same scenes drawn by the system's GL: the reference picture for the browser check, and
// the show-shaped load's frame time here (llvmpipe), for comparison.
//   native_scene PICTURE.ppm [FRAMES]
#include "scenes.h"

#include <GL/glut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: native_scene PICTURE.ppm [FRAMES]\n");
        return 2;
    }
    glutInit(&argc, argv);
    glutInitDisplayString("double rgb depth>=16");
    glutInitWindowSize(kSceneWidth, kSceneHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("browser check reference");
    drawTestScene();
    glFinish();
    std::vector<unsigned char> rgb(size_t(kSceneWidth) * kSceneHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSceneWidth, kSceneHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        return 1;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", kSceneWidth, kSceneHeight);
    for (int y = kSceneHeight - 1; y >= 0; --y) {
        std::fwrite(&rgb[size_t(y) * kSceneWidth * 3], 3, kSceneWidth, f);
    }
    std::fclose(f);
    const int frames = argc > 2 ? std::atoi(argv[2]) : 0;
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        drawShowLoad(80.0 + i / 25.0, true);
        unsigned char pixel[4];
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                               start)
                         .count());
    }
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        std::printf("native system GL: median %.2f ms, worst %.2f ms over %d frames\n",
                    ms[ms.size() / 2], ms.back(), frames);
    }
    return 0;
}
