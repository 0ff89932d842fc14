// The cast and the timeline, played on the controllable clock: what is built, where the camera
// and the lights are at the script's instants, what appears and vanishes when, and the end.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "helpers/show_runner.h"
#include "objects/hex.h"
#include "objects/terrain.h"
#include "tools/ground_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace {

class Show : public testing::Test {
  protected:
    void SetUp() override {
        rebuildScene();
        startShow(clock);
    }
    void TearDown() override { gProgramMode = kpmAtStart; }

    static void expectAt(const vec& v, float x, float y, float z, float tolerance = 1e-3f) {
        EXPECT_NEAR(v.data[0], x, tolerance);
        EXPECT_NEAR(v.data[1], y, tolerance);
        EXPECT_NEAR(v.data[2], z, tolerance);
    }
    static int visiblePanels(hexdome* dome) {
        int n = 0;
        for (int ring = 0; ring < dome->ringCount(); ++ring) {
            for (int i = 0; i < 5; ++i) {
                n += !dome->panel(ring, i)->isInvisible();
            }
        }
        return n;
    }
    static float yOrientation(object3D* o) {
        float x, y, z;
        o->getOrientation(x, y, z);
        return y;
    }

    fakeClock clock;
};

} // namespace

TEST_F(Show, TheCastInItsOpeningState) {
    // Thirteen entries: the ground, six blocks, two single blocks and four domes.
    ASSERT_EQ(shapeVector.size(), 13u);
    EXPECT_EQ(shapeVector[0], ground);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(shapeVector[size_t(1 + i)], triangleArray[i]);
    }
    EXPECT_EQ(shapeVector[7], triangleTranslucent);
    EXPECT_EQ(shapeVector[8], spaceTriangle);
    EXPECT_EQ(shapeVector[9], dome1);
    EXPECT_EQ(shapeVector[10], dome2);
    EXPECT_EQ(shapeVector[11], dome3);
    EXPECT_EQ(shapeVector[12], dome5);
    for (object3D* shape : shapeVector) {
        EXPECT_EQ(shape->isInvisible(), shape != triangleTranslucent);
    }
    for (int i = 0; i < 6; ++i) {
        vec location;
        triangleArray[i]->getLocation(location);
        expectAt(location, -20, -2.4f, 10, 0);
        EXPECT_FLOAT_EQ(yOrientation(triangleArray[i]), 60.0f * float(i));
    }
    EXPECT_FALSE(triangleTranslucent->isTranslucent());
    EXPECT_TRUE(spaceTriangle->isTranslucent());
    expectAt(camera.getLocation(), -16, 4, 7, 0);
    expectAt(camera.getTarget(), -22, 1, 10, 0);
    for (light* l : {&light1, &light2, &light3, &light4}) {
        EXPECT_TRUE(l->isOn());
    }
}

TEST_F(Show, TheCameraAtTheScriptsInstants) {
    playTo(clock, 0);
    expectAt(camera.getLocation(), -16, 4, 7);
    expectAt(camera.getTarget(), -22, 1, 10);
    playTo(clock, 5); // the first move arrives; the second starts just after
    expectAt(camera.getLocation(), -18, 1, 8);
    expectAt(camera.getTarget(), -22, 4, 10);
    playTo(clock, 15);
    expectAt(camera.getLocation(), -20, 0, 16.8f, 0.02f);
    expectAt(camera.getTarget(), -20, 2.5f, 10, 0.02f);
    playTo(clock, 44);
    expectAt(camera.getLocation(), -24, 3.5f, 12);
    playTo(clock, 50);
    expectAt(camera.getLocation(), -16, 3.5f, 7, 0.02f);
    expectAt(camera.getTarget(), 0, 0, 20, 0.02f);
    vec l1, l2;
    light1.getLocation(l1);
    light2.getLocation(l2);
    expectAt(l1, 10, 0.5f, 10, 0.02f);
    expectAt(l2, 10, 0.5f, -5, 0.02f);
    // The five legs of the tour.
    const float legs[5][4] = {{58, -10, -1, 26}, {66, 10, 0, 30}, {74, 10, 1, 12}, {80, -10, 2, 12},
                              {86, -6, 3, 26}};
    for (const auto& leg : legs) {
        playTo(clock, leg[0] - 0.04f);
        expectAt(camera.getLocation(), leg[1], leg[2], leg[3], 0.05f);
        expectAt(camera.getTarget(), 0, 0, 20, 0.02f);
    }
    playTo(clock, 110);
    expectAt(camera.getLocation(), 5, 12, 15);
    expectAt(camera.getTarget(), 0, 15, 18);
}

TEST_F(Show, BlocksTurnTranslucentVanishAndBuildTheHexagon) {
    playTo(clock, 14.96f);
    EXPECT_FALSE(triangleTranslucent->isTranslucent());
    EXPECT_TRUE(triangleArray[0]->isInvisible());
    playTo(clock, 15.0f);
    EXPECT_TRUE(triangleTranslucent->isTranslucent());
    EXPECT_FALSE(triangleArray[0]->isInvisible());
    playTo(clock, 20.96f);
    EXPECT_FALSE(triangleTranslucent->isInvisible());
    playTo(clock, 21.0f);
    EXPECT_TRUE(triangleTranslucent->isInvisible());
    const float appears[5] = {24, 27, 30, 33, 36};
    for (int i = 0; i < 5; ++i) {
        playTo(clock, appears[i] - 0.04f);
        EXPECT_TRUE(triangleArray[i + 1]->isInvisible()) << "element " << i + 1;
        playTo(clock, appears[i]);
        EXPECT_FALSE(triangleArray[i + 1]->isInvisible()) << "element " << i + 1;
    }
    playTo(clock, 50);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(triangleArray[i]->isInvisible());
    }
}

TEST_F(Show, TheGroundTheDomesAndDomeOnesBuildUp) {
    playTo(clock, 36.96f);
    EXPECT_TRUE(ground->isInvisible());
    EXPECT_TRUE(dome2->isInvisible());
    playTo(clock, 37);
    EXPECT_FALSE(ground->isInvisible());
    EXPECT_FALSE(dome2->isInvisible());
    EXPECT_FALSE(dome3->isInvisible());
    EXPECT_TRUE(dome1->isInvisible());
    playTo(clock, 50);
    EXPECT_FALSE(dome1->isInvisible());
    EXPECT_FALSE(dome5->isInvisible());
    EXPECT_EQ(visiblePanels(dome1), 0);
    playTo(clock, 55.96f);
    EXPECT_EQ(visiblePanels(dome1), 0);
    playTo(clock, 56);
    EXPECT_EQ(visiblePanels(dome1), 1);
    playTo(clock, 67.96f);
    EXPECT_EQ(visiblePanels(dome1), 5);
    playTo(clock, 68);
    EXPECT_EQ(visiblePanels(dome1), 6);
    playTo(clock, 80);
    EXPECT_EQ(visiblePanels(dome1), 11);
    playTo(clock, 83.96f);
    EXPECT_EQ(visiblePanels(dome1), 14);
    playTo(clock, 84);
    EXPECT_EQ(visiblePanels(dome1), 15);
    EXPECT_EQ(visiblePanels(dome5), 15);
}

TEST_F(Show, TheSpaceBlockSpinsUntil120AndTheShowEndsAt130) {
    playTo(clock, 85.96f);
    EXPECT_TRUE(spaceTriangle->isInvisible());
    playTo(clock, 100);
    EXPECT_FALSE(spaceTriangle->isInvisible());
    EXPECT_NEAR(yOrientation(spaceTriangle), 1000, 1e-3f);
    playTo(clock, 119.96f);
    float last = yOrientation(spaceTriangle);
    EXPECT_NEAR(last, 1199.6f, 1e-2f);
    playTo(clock, 125);
    EXPECT_EQ(yOrientation(spaceTriangle), last);
    playTo(clock, 129.96f);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    playTo(clock, 130);
    EXPECT_EQ(gProgramMode, kpmFinished);
    float frozen = getAnimationTime();
    EXPECT_FLOAT_EQ(frozen, 130);
    clock.advance(5000);
    EXPECT_EQ(getAnimationTime(), frozen);
}

TEST_F(Show, ARestartReplaysTheScriptOverWhatTheLastRunLeft) {
    playTo(clock, 130);
    ASSERT_EQ(gProgramMode, kpmFinished);
    InitScene();
    startShow(clock);
    playTo(clock, 10);
    EXPECT_TRUE(ground->isInvisible()); // InitScene hides the ground again
    EXPECT_FALSE(dome1->isInvisible());
    EXPECT_FALSE(dome2->isInvisible());
    EXPECT_EQ(visiblePanels(dome1), 15); // its build-up does not start over
    EXPECT_TRUE(triangleTranslucent->isInvisible());
    playTo(clock, 50);
    EXPECT_EQ(visiblePanels(dome1), 15);
    EXPECT_TRUE(triangleTranslucent->isInvisible());
}

TEST_F(Show, TheCameraNeverComesWithinHalfAUnitOfTheGround) {
    std::ifstream in("resources/ground.bmp", std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    terrainBmpResult parsed = parseTerrainBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.ok);
    const terrainGrid& grid = parsed.grid;
    float closest = 1e9f;
    for (int frame = 0; frame <= 130 * 25; ++frame) {
        playTo(clock, float(frame) / 25);
        const vec& eye = camera.getLocation();
        float c = eye.data[0] / kGroundScale + grid.width / 2;
        float r = grid.height / 2 - eye.data[2] / kGroundScale;
        // The highest of the four grid vertices around the camera bounds the ground below it.
        float highest = -1e9f;
        for (int dr = 0; dr <= 1; ++dr) {
            for (int dc = 0; dc <= 1; ++dc) {
                int rr = int(std::floor(r)) + dr, cc = int(std::floor(c)) + dc;
                ASSERT_TRUE(rr >= 0 && rr < grid.height && cc >= 0 && cc < grid.width);
                highest = std::max(highest, kGroundY + kGroundScale * grid.heights[size_t(rr * grid.width + cc)]);
            }
        }
        closest = std::min(closest, eye.data[1] - highest);
    }
    EXPECT_GE(closest, 0.5f);
}
