// The GL tests share one real window and context, opened the way the program opens its own.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS(); // listing needs no window
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "The GL tests need an X display: run them through the README's "
                             "test command, which starts Xvfb.\n");
        return 1;
    }
    glutInit(&argc, argv);
    platformInitialise();
    openShowWindow("Lumenfold GL tests");
    glViewport(0, 0, gWindowWidth, gWindowHeight);
    return RUN_ALL_TESTS();
}
