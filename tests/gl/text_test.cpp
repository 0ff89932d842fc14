// The text overlay in a real context: where the raster position goes, which pixels turn white,
// what is restored afterwards, the frame-rate readout, and the glyphs drawn without GLUT.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "basicsource/utility.h"
#include "common/bitmap_font.h"
#include "helpers/fake_clock.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class TextOverlay : public testing::Test {
  protected:
    void SetUp() override {
        gWindowWidth = kWindowWidth;
        gWindowHeight = kWindowHeight;
        glViewport(0, 0, gWindowWidth, gWindowHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override {
        gProgramMode = kpmAtStart;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    static void rasterPosition(GLfloat* xy) {
        GLfloat p[4];
        glGetFloatv(GL_CURRENT_RASTER_POSITION, p);
        xy[0] = p[0];
        xy[1] = p[1];
    }

    // Lit pixels of the back buffer inside [x0, x1) x [y0, y1), and in the whole frame.
    static int litPixels(int x0, int y0, int x1, int y1, int* total = nullptr) {
        std::vector<unsigned char> rgb(size_t(kWindowWidth) * kWindowHeight * 3);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        int inside = 0, all = 0;
        for (int y = 0; y < kWindowHeight; ++y) {
            for (int x = 0; x < kWindowWidth; ++x) {
                const unsigned char* p = &rgb[(size_t(y) * kWindowWidth + x) * 3];
                if (p[0] == 255 && p[1] == 255 && p[2] == 255) {
                    ++all;
                    inside += (x >= x0 && x < x1 && y >= y0 && y < y1);
                } else {
                    EXPECT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 0) << "not white or black";
                }
            }
        }
        if (total) {
            *total = all;
        }
        return inside;
    }

    fakeClock clock;
};

} // namespace

TEST_F(TextOverlay, EachLineStartsTwelvePixelsBelowTheLast) {
    GLfloat xy[2];
    DrawText("", 10, 20);
    rasterPosition(xy);
    EXPECT_FLOAT_EQ(xy[0], 11);
    EXPECT_FLOAT_EQ(xy[1], 19);
    DrawText("ab", 10, 20);
    rasterPosition(xy);
    EXPECT_FLOAT_EQ(xy[0], 11 + 2 * 8); // the 8 x 13 font advances 8 pixels a character
    EXPECT_FLOAT_EQ(xy[1], 19);
    DrawText("ab\ncd", 10, 20);
    rasterPosition(xy);
    // The second line starts at (11, 7); the line break itself is drawn there too.
    EXPECT_FLOAT_EQ(xy[0], 11 + 3 * 8);
    EXPECT_FLOAT_EQ(xy[1], 7);
    DrawText("x\ny\nz", 100, 200);
    rasterPosition(xy);
    EXPECT_FLOAT_EQ(xy[0], 101 + 2 * 8);
    EXPECT_FLOAT_EQ(xy[1], 200 - 24 - 1);
}

TEST_F(TextOverlay, DrawsWhiteTextOnlyNearItsPosition) {
    glEnable(GL_LIGHTING); // the overlay must not be lit
    DrawText("HI", 200, 300);
    int total = 0;
    int inside = litPixels(200, 290, 220, 315, &total);
    EXPECT_GT(inside, 10);
    EXPECT_EQ(inside, total);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(TextOverlay, RestoresBothMatricesAndLeavesModelViewSelected) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glScalef(2, 2, 2);
    glMatrixMode(GL_PROJECTION); // DrawText selects what it needs itself
    DrawText("restore", 10, 20);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 1);
    EXPECT_FLOAT_EQ(m[14], 3);
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[0], 2);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

TEST_F(TextOverlay, TheCreditsLineStandsAtFiveFifty) {
    ShowCopyright("2026", "Owner", "Artist", "Lumenfold");
    GLfloat xy[2];
    rasterPosition(xy);
    const std::string line = "\"Lumenfold\"  Artist, (c) 2026 Owner";
    EXPECT_FLOAT_EQ(xy[0], 6 + 8 * float(line.size()));
    EXPECT_FLOAT_EQ(xy[1], 49);
    int total = 0;
    EXPECT_EQ(litPixels(6, 40, 6 + 8 * int(line.size()), 62, &total), total);
    EXPECT_GT(total, 100);
}

TEST_F(TextOverlay, FrameRateReadoutSamplesEveryTwentiethFrame) {
    gProgramMode = kpmPaused;
    DrawFrameRate();
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 0.0");

    gProgramMode = kpmAnimating;
    clock.startShowAt(10.0f);
    gFrameCounter = 19;
    DrawFrameRate(); // not a multiple of 20: the old text stays
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 0.0");
    clock.advance(50);
    gFrameCounter = 20;
    DrawFrameRate();
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 20.0");

    // A second frame in the same millisecond keeps the last readout instead of "inf".
    gFrameCounter = 40;
    DrawFrameRate();
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 20.0");
    // So does the first frame after a restart, whose interval would be negative.
    clock.startShowAt(0.5f);
    gFrameCounter = 60;
    DrawFrameRate();
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 20.0");
    clock.advance(250);
    gFrameCounter = 80;
    DrawFrameRate();
    EXPECT_STREQ(frameRateReadout(), "Swaps/Sec: 4.0");
}

// The pixels DrawText leaves for `text` at (x, y), through the given character drawer.
std::vector<unsigned char> textPixels(void (*drawer)(unsigned char), const char* text, int x,
                                      int y) {
    setCharacterDrawer(drawer);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawText(text, x, y);
    setCharacterDrawer(nullptr);
    std::vector<unsigned char> rgb(size_t(kWindowWidth) * kWindowHeight * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWindowWidth, kWindowHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

TEST_F(TextOverlay, TheProjectsOwnGlyphsDrawTheCreditsAsGlutDoes) {
    // What a movie shows of text is the credits line: drawn without GLUT, it must be the same.
    char credits[256];
    formatCopyright(credits, sizeof credits, "2026", "the Lumenfold team", "Lumenfold Studio",
                    kShowTitle);
    const auto glut = textPixels(nullptr, credits, 5, 50);
    EXPECT_TRUE(textPixels(drawFontCharacter, credits, 5, 50) == glut);
    EXPECT_GT(std::count(glut.begin(), glut.end(), 255), 600);

    // The table comes from a later edition of the same public-domain font than GLUT's: the
    // letters and digits agree, six ASCII glyphs were redrawn (quotes, star, hyphen, B, D).
    std::string differing;
    for (int c = 32; c < 127; ++c) {
        const char text[2] = {char(c), 0};
        if (textPixels(nullptr, text, 11, 30) != textPixels(drawFontCharacter, text, 11, 30)) {
            differing += char(c);
        }
    }
    EXPECT_EQ(differing, "'*-BD`");
}
