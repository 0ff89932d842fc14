// The terrain in a real context: its strips make the face list's triangles with the same upward
// winding, and under the show's lights it is lit green ground. The picture is saved for a look.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "helpers/bmp_builder.h"
#include "helpers/fake_clock.h"
#include "helpers/show_runner.h"
#include "common/picture.h"
#include "helpers/pictures_dir.h"
#include "objects/terrain.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

terrain makeTerrain(int w, int h, std::function<void(int, int, unsigned char*)> pixel = {}) {
    bmpSpec spec;
    spec.width = w;
    spec.height = h;
    spec.pixel = pixel;
    std::vector<unsigned char> bytes = makeBmp(spec);
    terrainBmpResult parsed = parseTerrainBmp(bytes.data(), bytes.size());
    EXPECT_TRUE(parsed.ok);
    return terrain(parsed.grid);
}

} // namespace

TEST(TerrainDrawing, StripsMakeTheFaceListsTriangles) {
    terrain t = makeTerrain(2, 2);
    t.setOrientation(90, 0, 0); // looking down on the grid: screen y is -z
    glViewport(0, 0, kWindowWidth, kWindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -2, 2);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_CULL_FACE);
    std::vector<GLfloat> feedback(256);
    glFeedbackBuffer(GLsizei(feedback.size()), GL_2D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    gPolygonCount = 0;
    t.draw(kDrawOpaque);
    GLint used = glRenderMode(GL_RENDER);
    EXPECT_EQ(gPolygonCount, 2u);

    // Window position of each grid vertex, to name the corners GL reports.
    auto vertexAt = [&](float wx, float wy) {
        for (int v = 0; v < 4; ++v) {
            const vec& p = t.gridVertex(v).coordinate;
            float ex = (p.data[0] + 2) / 4 * kWindowWidth;
            float ey = (-p.data[2] + 2) / 4 * kWindowHeight;
            if (std::fabs(ex - wx) < 0.5f && std::fabs(ey - wy) < 0.5f) {
                return v;
            }
        }
        return -1;
    };
    std::vector<std::set<int>> triangles;
    for (GLint i = 0; i < used;) {
        ASSERT_EQ(feedback[size_t(i)], GLfloat(GL_POLYGON_TOKEN));
        int corners = int(feedback[size_t(i + 1)]);
        ASSERT_EQ(corners, 3);
        std::set<int> tri;
        float area = 0;
        for (int k = 0; k < 3; ++k) {
            float x = feedback[size_t(i + 2 + 2 * k)], y = feedback[size_t(i + 3 + 2 * k)];
            int k1 = (k + 1) % 3;
            area += x * feedback[size_t(i + 3 + 2 * k1)] - feedback[size_t(i + 2 + 2 * k1)] * y;
            tri.insert(vertexAt(x, y));
        }
        EXPECT_GT(area, 0) << "counter-clockwise seen from above";
        triangles.push_back(tri);
        i += 2 + 2 * corners;
    }
    ASSERT_EQ(triangles.size(), 2u);
    EXPECT_EQ(triangles[0], (std::set<int>{0, 2, 3})); // the strip 2, 0, 3, 1
    EXPECT_EQ(triangles[1], (std::set<int>{0, 1, 3}));
    glEnable(GL_CULL_FACE);
}

TEST(TerrainDrawing, LitGreenGroundUnderTheShowsLights) {
    fakeClock clock;
    clock.startShowAt(0);
    gProgramMode = kpmAtStart;
    gTextOn = false;
    ResizeWindow(kWindowWidth, kWindowHeight);
    terrain ground = makeTerrain(61, 61, [](int r, int c, unsigned char* bgr) {
        double h = 100 + 40 * std::sin(r * 0.2) * std::cos(c * 0.15);
        bgr[0] = bgr[1] = bgr[2] = uint8_t(h);
    });
    ground.setLocation(0, -4, 0);
    ground.setLocalScale(2, 2, 2);
    lightLikeTheShow();
    cameraClass saved = camera;
    camera.setLocation(-24, 3.5f, 12);
    camera.setTarget(0, -4, 0);
    shapeVector = {&ground};
    renderFrame();
    picture p = readBackBuffer(kWindowWidth, kWindowHeight);
    EXPECT_TRUE(savePng(p, pictureDirectory() + "/terrain.png"));
    shapeVector.clear();
    camera = saved;
    lightsOff();
    long green = 0, lit = 0;
    int brightestGreen = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* px = p.at(x, y);
            if (!p.isBlack(x, y)) {
                ++lit;
                green += (px[1] > px[0] && px[1] > px[2]);
                brightestGreen = std::max<int>(brightestGreen, px[1]);
            }
        }
    }
    EXPECT_GT(lit, long(p.width) * p.height / 4);
    EXPECT_EQ(green, lit);
    EXPECT_GT(brightestGreen, 150);
    EXPECT_EQ(gPolygonCount, 2u * 60 * 60);
}
