// The web layer's tests share one window and context of the system's GL, in which the layer's
// ES 3.0 calls and the system's fixed-function calls draw side by side.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "The web layer's tests need an X display (tools/with-xvfb).\n");
        return 1;
    }
    mkdir(LUMENFOLD_PICTURE_DIR, 0755);
    glutInit(&argc, argv);
    glutInitDisplayString("double rgb depth>=16");
    glutInitWindowSize(kWidth, kHeight);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("web layer tests");
    return RUN_ALL_TESTS();
}
