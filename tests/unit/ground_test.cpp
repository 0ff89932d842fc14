// The show's ground image: it is exactly what its generator makes, the reader takes it whole,
// and every dome of the show stands on a level pad just below its rim.
#include "objects/terrain.h"
#include "tools/ground_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<unsigned char> committedGround() {
    std::ifstream in("resources/ground.bmp", std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// The ground's world height at (x, z), on the triangles the terrain draws.
float surfaceAt(const terrainGrid& grid, float x, float z) {
    float c = x / kGroundScale + grid.width / 2, r = grid.height / 2 - z / kGroundScale;
    int c0 = int(std::floor(c)), r0 = int(std::floor(r));
    float fc = c - c0, fr = r - r0;
    auto h = [&](int rr, int cc) { return grid.heights[size_t(rr * grid.width + cc)]; };
    // Cells split along (r, c)-(r+1, c+1).
    float local = fc >= fr ? h(r0, c0) + fc * (h(r0, c0 + 1) - h(r0, c0)) + fr * (h(r0 + 1, c0 + 1) - h(r0, c0 + 1))
                           : h(r0, c0) + fr * (h(r0 + 1, c0) - h(r0, c0)) + fc * (h(r0 + 1, c0 + 1) - h(r0 + 1, c0));
    return kGroundY + kGroundScale * local;
}

} // namespace

TEST(GroundImage, IsWhatTheGeneratorMakes) {
    std::vector<unsigned char> committed = committedGround();
    ASSERT_FALSE(committed.empty()) << "resources/ground.bmp is missing";
    EXPECT_TRUE(committed == groundBmp()) << "regenerate it with make_ground";
}

TEST(GroundImage, EveryDomeStandsOnAPadJustBelowItsRim) {
    std::vector<unsigned char> bytes = committedGround();
    terrainBmpResult parsed = parseTerrainBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.ok) << parsed.message;
    ASSERT_EQ(parsed.grid.width, 181);
    ASSERT_EQ(parsed.grid.height, 181);
    for (const domePlacement& dome : kShowDomes) {
        SCOPED_TRACE(testing::Message() << "dome at " << dome.x << ", " << dome.z);
        domeRim rim = measureRim(dome);
        EXPECT_LT(rim.lowestY, dome.y); // an open dome ends a little below its origin
        // All around the rim and under the whole dome, the ground lies 0 to 0.3 below the rim.
        for (float radius = 0; radius <= rim.reach; radius += 0.5f) {
            for (int step = 0; step < 72; ++step) {
                float angle = float(step) * 5 * 3.14159265f / 180;
                float ground = surfaceAt(parsed.grid, dome.x + radius * std::cos(angle),
                                         dome.z + radius * std::sin(angle));
                EXPECT_LE(ground, rim.lowestY) << "the dome would sink at radius " << radius;
                EXPECT_GT(ground, rim.lowestY - 0.3f) << "the dome would float at radius " << radius;
            }
        }
    }
}

TEST(GroundImage, HillsNearTheMiddleAndRidgesFarOut) {
    std::vector<unsigned char> bytes = committedGround();
    terrainBmpResult parsed = parseTerrainBmp(bytes.data(), bytes.size());
    ASSERT_TRUE(parsed.ok);
    double nearSum = 0, farSum = 0;
    int nearCount = 0, farCount = 0;
    float lowest = 10, highest = -10;
    for (int r = 0; r < 181; ++r) {
        for (int c = 0; c < 181; ++c) {
            float y = kGroundY + kGroundScale * parsed.grid.heights[size_t(r * 181 + c)];
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
            double d = std::hypot(c - 90, r - 90) * kGroundScale;
            if (d < 40) {
                nearSum += y;
                ++nearCount;
            } else if (d > 150) {
                farSum += y;
                ++farCount;
            }
        }
    }
    EXPECT_GT(farSum / farCount, nearSum / nearCount + 0.7); // the far ridges stand higher
    EXPECT_GT(highest - lowest, 1.5f);                        // not a flat plate
}
