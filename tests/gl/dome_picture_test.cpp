// Pictures of the geodesic objects under the show's four lights: lit, left-right symmetric
// silhouettes of the right colour. The frames are saved under the build tree's pictures/.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "helpers/fake_clock.h"
#include "helpers/show_runner.h"
#include "common/picture.h"
#include "helpers/pictures_dir.h"
#include "objects/hex.h"
#include "objects/hexdome.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

const float kDomeInfo[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 4.0f};

class GeodesicPictures : public testing::Test {
  protected:
    void SetUp() override {
        savedCamera = camera;
        clock.startShowAt(0);
        gProgramMode = kpmAtStart;
        gTextOn = false;
        gWireFrameOnly = false;
        ResizeWindow(kWindowWidth, kWindowHeight);
        lightLikeTheShow(); // from the left and front
        camera.setLocation(0, 2, 16);
        camera.setTarget(0, 0, 0);
    }
    void TearDown() override {
        shapeVector.clear();
        camera = savedCamera;
        lightsOff();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    picture render(object3D& shape, const std::string& name) {
        shapeVector = {&shape};
        renderFrame();
        picture p = readBackBuffer(kWindowWidth, kWindowHeight);
        EXPECT_TRUE(savePng(p, pictureDirectory() + "/" + name + ".png"));
        return p;
    }

    cameraClass savedCamera;
    fakeClock clock; // time stays at 0: no credits line
};

struct silhouette {
    long lit = 0;
    long mismatched = 0; // pixels whose mirror image across the centre line differs
    double red = 0, green = 0, blue = 0;
};

silhouette measure(const picture& p) {
    silhouette s;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (p.isBlack(x, y) != p.isBlack(p.width - 1 - x, y)) {
                ++s.mismatched;
            }
            if (!p.isBlack(x, y)) {
                ++s.lit;
                s.red += p.at(x, y)[0];
                s.green += p.at(x, y)[1];
                s.blue += p.at(x, y)[2];
            }
        }
    }
    if (s.lit) {
        s.red /= double(s.lit);
        s.green /= double(s.lit);
        s.blue /= double(s.lit);
    }
    return s;
}

} // namespace

TEST_F(GeodesicPictures, DomesAreLitSymmetricAndSandColoured) {
    for (bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "closed dome" : "open dome");
        hexdome dome(kDomeInfo, closed);
        picture p = render(dome, closed ? "dome-closed" : "dome-open");
        EXPECT_EQ(gPolygonCount, closed ? 120u * 22 : 75u * 22);
        silhouette s = measure(p);
        EXPECT_GT(s.lit, long(p.width) * p.height / 20);
        EXPECT_LT(s.mismatched, s.lit / 100);
        // The material is sand (0.957, 0.643, 0.376): red over green over blue, and well lit.
        EXPECT_GT(s.red, s.green);
        EXPECT_GT(s.green, s.blue);
        EXPECT_GT(s.red, 60);
    }
}

TEST_F(GeodesicPictures, AHiddenDomeAndTranslucentBlocksDrawNothing) {
    hexdome dome(kDomeInfo, false);
    dome.hide();
    EXPECT_EQ(measure(render(dome, "dome-hidden")).lit, 0);
    EXPECT_EQ(gPolygonCount, 0u);

    const float glass[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 0.5f, 4.0f};
    hex panel(glass, false);
    EXPECT_EQ(measure(render(panel, "panel-translucent")).lit, 0);
    EXPECT_EQ(gPolygonCount, 0u);
}

TEST_F(GeodesicPictures, APanelRevealsItsBlocksOnScreen) {
    hex panel(kDomeInfo, false);
    panel.setLocation(0, -4, 0);
    panel.animate(0);
    EXPECT_EQ(measure(render(panel, "panel-none")).lit, 0);
    panel.animate(3);
    long half = measure(render(panel, "panel-half")).lit;
    panel.animate(6);
    long full = measure(render(panel, "panel-full")).lit;
    EXPECT_EQ(gPolygonCount, 6u * 22);
    EXPECT_GT(half, 0);
    EXPECT_GT(full, half + half / 2);
}
