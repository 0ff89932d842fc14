// The geodesic constants against their table, the geometry helpers' edge cases, and the sphere
// block's construction.
#include "objects/bcc_triangle_block.h"
#include "support/geodome_constants.h"
#include "support/geodome_utilities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Equal to the tabled value given to seven significant digits.
void expectSevenDigits(float actual, double tabled, const char* name) {
    double tolerance = 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(tabled))) - 6);
    EXPECT_NEAR(actual, tabled, tolerance * 1.01) << name;
}

struct tabled {
    const char* name;
    const float& value;
    double expected;
};

const float kSceneBlock[7] = {0.08f, 0.05f, 0.957f, 0.643f, 0.376f, 1.0f, 5.0f};

} // namespace

TEST(GeodesicConstants, MatchTheirTable) {
    const tabled table[] = {
        {"IS1", IS1, 0.3333333},
        {"IS2", IS2, 0.6666667},
        {"PHI", PHI, 1.618034},
        {"IPR", IPR, 1.902113},
        {"IS3", IS3, 0.5393447},
        {"IS4", IS4, 1.078689},
        {"IS5", IS5, 1.206011},
        {"IS6", IS6, 1.412023},
        {"ISR", ISR, 1.652012},
        {"IT3", IT3, 0.5393447},
        {"IT6", IT6, 1.412023},
        {"IT7", IT7, 0.8726780},
        {"ITR", ITR, 1.511523},
        {"SP1", SP1, 0.5257311},
        {"SP2", SP2, 0.8506508},
        {"SS0", SS0, 0.9794321},
        {"SS1", SS1, 0.2017741},
        {"SS2", SS2, 0.4035482},
        {"SS3", SS3, 0.3264773},
        {"SS4", SS4, 0.6529547},
        {"SS5", SS5, 0.7300255},
        {"SS6", SS6, 0.8547288},
        {"ST3", ST3, 0.3568221},
        {"ST6", ST6, 0.9341724},
        {"ST7", ST7, 0.5773503},
        {"center.y", center[1], 0.9643455},
        {"center.z", center[2], 0.1189407},
        {"length_IJ_center", length_IJ_center, 0.2347068},
        {"length_AIJ_center", length_AIJ_center, 0.2397873},
        {"radius_center", radius_center, 0.9716528},
        {"edge_A", edge_A, 0.3486155},
        {"edge_B", edge_B, 0.4035482},
        {"edge_C", edge_C, 0.4124115},
        {"chord_PT", chord_PT, 0.6408518},
        {"chord_TT", chord_TT, 0.7136442},
        {"chord_SS1", chord_SS1, 0.6529547},
        {"chord_SS2", chord_SS2, 0.6989660},
        {"height_P_SS", height_P_SS, 0.2842885},
        {"height_T_SS", height_T_SS, 0.3596810},
        {"height_S_PS", height_S_PS, 0.3290850},
        {"height_S_TS", height_S_TS, 0.3519510},
        {"angle_di_BB1", angle_di_BB1, 2.943342},
        {"angle_di_BB2", angle_di_BB2, 2.889258},
        {"angle_di_AA", angle_di_AA, 2.889650},
        {"angle_di_CC", angle_di_CC, 2.904603},
        {"angle_AIJ_Yaxis", angle_AIJ_Yaxis, 0.3648637},
        {"angle_A_AIJ", angle_A_AIJ, 0.6523581},
        {"angle_A_DJI", angle_A_DJI, 1.382086},
        {"angle_A_DGJ", angle_A_DGJ, 1.759507},
        {"angle_A_CGD", angle_A_CGD, 2.489235},
    };
    for (const tabled& t : table) {
        expectSevenDigits(t.value, t.expected, t.name);
    }
    EXPECT_EQ(ZERO, 0.0f);
    EXPECT_EQ(ONE, 1.0f);
    EXPECT_EQ(center[0], 0.0f);
    // The literal tilt of the scene is the negated angle in degrees, to five figures.
    EXPECT_NEAR(angle_AIJ_Yaxis * 57.29578, 20.905167, 1e-4);
}

TEST(GeodesicConstants, UnitSpherePointsAndTheSphereTable) {
    for (const float* p : {AIJ, IJ1, IJ2, vertex_A}) {
        EXPECT_NEAR(points_dist_3d(p[0], p[1], p[2], 0, 0, 0), 1.0f, 2e-7f);
    }
    EXPECT_EQ(AIJ[1], ST6);
    EXPECT_EQ(IJ2[0], -SS1);
    EXPECT_EQ(vertex_DGJ[2], -ST7);
    EXPECT_EQ(vertex_CGD[2], -ST6);
    // A, C, I and J of the icosahedron, then nothing after point 11.
    EXPECT_EQ(geosphere_vertices[1], SP1);
    EXPECT_EQ(geosphere_vertices[2], SP2);
    EXPECT_EQ(geosphere_vertices[2 * 3 + 1], -SP1);
    EXPECT_EQ(geosphere_vertices[8 * 3 + 1], SP2);
    EXPECT_EQ(geosphere_vertices[9 * 3 + 0], -SP1);
    EXPECT_EQ(geosphere_vertices[6 * 3 + 0], -SP2);
    for (int i = 36; i < 276; ++i) {
        EXPECT_EQ(geosphere_vertices[i], 0.0f) << i;
    }
}

TEST(GeodesicUtilities, ArcCosineClampsToItsDomain) {
    EXPECT_EQ(arc_cosine(1.0000001f), 0.0f);
    EXPECT_EQ(arc_cosine(1.0f), 0.0f);
    EXPECT_EQ(arc_cosine(-1.0f), 3.1415927f);
    EXPECT_EQ(arc_cosine(-7.0f), 3.1415927f);
    EXPECT_FLOAT_EQ(arc_cosine(0.5f), 1.0471976f);
    EXPECT_FALSE(std::isnan(triangle_arccos(1, 1, 2.0000002f)));
    EXPECT_FLOAT_EQ(triangle_arccos(1, 1, std::sqrt(2.0f)), 1.5707964f);
}

TEST(GeodesicUtilities, PointBetweenTwoNeverDividesByZero) {
    const float a[3] = {1, 2, 3}, b[3] = {5, -2, 11};
    struct check {
        float num, denom, x, y, z;
    };
    for (const check& c : {check{1, 4, 2, 1, 5}, check{0, 4, 1, 2, 3}, check{4, 4, 5, -2, 11},
                           check{0.5f, 0, 3, 0, 7}}) {
        std::unique_ptr<float[]> p(point_between_two_3d(a, b, c.num, c.denom));
        EXPECT_FLOAT_EQ(p[0], c.x) << c.num << "/" << c.denom;
        EXPECT_FLOAT_EQ(p[1], c.y);
        EXPECT_FLOAT_EQ(p[2], c.z);
    }
    std::unique_ptr<float[]> centroid(triangle_centroid_3d(0, 0, 0, 3, 0, 0, 0, 3, 6));
    EXPECT_FLOAT_EQ(centroid[0], 1);
    EXPECT_FLOAT_EQ(centroid[1], 1);
    EXPECT_FLOAT_EQ(centroid[2], 2);
}

TEST(GeodesicUtilities, DirectionsSeparationsAndHeights) {
    float ax = -1, ay = -1, az = -1;
    vector_directions_3d(0, 0, 0, &ax, &ay, &az);
    EXPECT_EQ(ax, 0);
    EXPECT_EQ(ay, 0);
    EXPECT_EQ(az, 0);
    vector_directions_3d(0, 2, 0, &ax, &ay, &az);
    EXPECT_FLOAT_EQ(ax, 1.5707964f);
    EXPECT_EQ(ay, 0);
    EXPECT_FLOAT_EQ(az, 1.5707964f);
    vector_directions_3d(-3, 0, 0, &ax, &ay, &az);
    EXPECT_FLOAT_EQ(ax, 3.1415927f);
    const float x[3] = {1, 0, 0}, xy[3] = {1, 1, 0};
    EXPECT_FLOAT_EQ(vector_separation_3d(x, xy), 0.78539819f);
    EXPECT_FLOAT_EQ(triangle_height_equi(1, 1), 0.8660254f);
    EXPECT_FLOAT_EQ(triangle_height_unequi(1, 1), 0.8660254f);
    EXPECT_FLOAT_EQ(points_dist_3d(1, 2, 3, 4, 6, 3), 5);
}

TEST(SphereBlock, TheScenesBlockToSevenDigits) {
    bcc_triangle_block b(kSceneBlock);
    expectSevenDigits(b.getThicknessConstant(), 0.01079651, "thicknessConstant");
    const double expected[12][3] = {{0, 0.9341724, 0.3568221},
                                    {0.2017741, 0.9794321, 0},
                                    {-0.2017741, 0.9794321, 0},
                                    {0, 0.8594386, 0.3282763},
                                    {0.1856322, 0.9010776, 0},
                                    {-0.1856322, 0.9010776, 0},
                                    {0, 0.8607972, 0.3175656},
                                    {0.1763506, 0.9003836, 0.005471271},
                                    {-0.1763506, 0.9003836, 0.005471271},
                                    {0, 0.9338485, 0.3454688},
                                    {0.1921291, 0.9769741, 0.005471272},
                                    {-0.1921291, 0.9769741, 0.005471272}};
    ASSERT_EQ(b.getVertexCount(), 12);
    ASSERT_EQ(b.getFaceCount(), 22);
    for (int i = 0; i < 12; ++i) {
        for (int c = 0; c < 3; ++c) {
            if (expected[i][c] == 0) {
                EXPECT_EQ(b.blockVertex(i).coordinate.data[c], 0.0f) << i;
            } else {
                expectSevenDigits(b.blockVertex(i).coordinate.data[c], expected[i][c], "vertex");
            }
        }
    }
    float r, g, bl, a;
    b.getColour(r, g, bl, a);
    EXPECT_EQ(r, 0.957f);
    EXPECT_EQ(a, 1.0f);
    EXPECT_FALSE(b.isTranslucent());
}

TEST(SphereBlock, MirrorSymmetricAboveTheXzPlaneAndClosed) {
    bcc_triangle_block b(kSceneBlock);
    for (int pair : {1, 4, 7, 10}) {
        const vec& left = b.blockVertex(pair).coordinate;
        const vec& right = b.blockVertex(pair + 1).coordinate;
        EXPECT_EQ(left.data[0], -right.data[0]);
        EXPECT_EQ(left.data[1], right.data[1]);
        EXPECT_EQ(left.data[2], right.data[2]);
    }
    for (int i = 0; i < 12; ++i) {
        EXPECT_GT(b.blockVertex(i).coordinate.data[1], 0.0f) << i;
    }
    // Each surface appears in both windings, with opposite normals (up to the slight warp of
    // the thin quadrilaterals, whose normals come from their first three corners).
    for (int f = 0; f < 22; f += 2) {
        const vec& n1 = b.blockFace(f).faceNormal;
        const vec& n2 = b.blockFace(f + 1).faceNormal;
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(n1.data[c], -n2.data[c], 1e-3f) << "faces " << f << ", " << f + 1;
        }
    }
    // The outer face is seen from inside the sphere through face 0 and from outside through 1.
    EXPECT_LT(b.blockFace(0).faceNormal.data[1], -0.9f);
    EXPECT_GT(b.blockFace(1).faceNormal.data[1], 0.9f);
}

TEST(SphereBlock, NoInsetAndNoThicknessCollapseTheWalls) {
    const float flat[7] = {0, 0, 1, 1, 1, 1, 1};
    bcc_triangle_block b(flat);
    EXPECT_EQ(b.getThicknessConstant(), 0.0f);
    for (int corner = 0; corner < 3; ++corner) {
        for (int layer : {3, 6, 9}) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_FLOAT_EQ(b.blockVertex(corner + layer).coordinate.data[c],
                                b.blockVertex(corner).coordinate.data[c]);
            }
        }
    }
    const float fullInset[7] = {1, 0.5f, 1, 1, 1, 0.5f, 2};
    bcc_triangle_block point(fullInset); // every t point at the origin, no division by zero
    EXPECT_EQ(point.getThicknessConstant(), 0.0f);
    EXPECT_TRUE(point.isTranslucent());
    for (int i = 0; i < 12; ++i) {
        EXPECT_FALSE(std::isnan(point.blockVertex(i).coordinate.data[0]));
    }
}

TEST(SphereBlock, ACloneHasItsOwnArraysAndTheSameFields) {
    bcc_triangle_block b(kSceneBlock);
    std::unique_ptr<object3D> copy(b.clone());
    auto* block = dynamic_cast<bcc_triangle_block*>(copy.get());
    ASSERT_NE(block, nullptr);
    EXPECT_NE(&block->blockVertex(0), &b.blockVertex(0));
    EXPECT_EQ(block->blockVertex(7).coordinate.data[2], b.blockVertex(7).coordinate.data[2]);
    EXPECT_EQ(block->getThicknessConstant(), b.getThicknessConstant());
    EXPECT_EQ(block->getLengthIJtCentert(), b.getLengthIJtCentert());
    EXPECT_EQ(block->getLengthAIJtCentert(), b.getLengthAIJtCentert());
    EXPECT_EQ(block->blockFace(21).vertex(2), 9);
}
