// Degree trigonometry, normals, eased motion, vectors and matrices.
#include "basicsource/utility.h"
#include "helpers/fake_clock.h"
#include "support/matrix.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectVec(const vec& v, float x, float y, float z, float w, float tolerance = 1e-6f) {
    EXPECT_NEAR(v.data[0], x, tolerance);
    EXPECT_NEAR(v.data[1], y, tolerance);
    EXPECT_NEAR(v.data[2], z, tolerance);
    EXPECT_NEAR(v.data[3], w, tolerance);
}

vec point(float x, float y, float z, float w = 1) {
    vec v;
    v.set(x, y, z, w);
    return v;
}

} // namespace

TEST(Trigonometry, DegreeFunctionsUseTheRoundedConstant) {
    EXPECT_EQ(sin_d(90), 1.0f);
    EXPECT_EQ(cos_d(0), 1.0f);
    // Not exactly 0: degPerRad is rounded to single precision.
    float c = cos_d(90);
    EXPECT_NE(c, 0.0f);
    EXPECT_NEAR(c, 1.8e-8f, 0.5e-8f);
    EXPECT_FLOAT_EQ(atan_d(1), 45.0f);
    EXPECT_FLOAT_EQ(atan_d(-1e30f), -90.0f);
    EXPECT_FLOAT_EQ(sin_d(-30), -0.5f);
}

TEST(Normals, ReduceToUnitScalesAndLeavesZeroAlone) {
    float v[3] = {3, 4, 0};
    ReduceToUnit(v);
    EXPECT_FLOAT_EQ(v[0], 0.6f);
    EXPECT_FLOAT_EQ(v[1], 0.8f);
    EXPECT_FLOAT_EQ(v[2], 0.0f);
    float zero[3] = {0, 0, 0};
    ReduceToUnit(zero);
    EXPECT_EQ(zero[0], 0.0f);
    EXPECT_EQ(zero[1], 0.0f);
    EXPECT_EQ(zero[2], 0.0f);
    EXPECT_FALSE(std::isnan(zero[0]));
}

TEST(Normals, CounterClockwiseTrianglesFaceTheViewer) {
    float out[3];
    const float a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {0, 1, 0};
    calculateNormal(out, a, b, c);
    EXPECT_FLOAT_EQ(out[0], 0);
    EXPECT_FLOAT_EQ(out[1], 0);
    EXPECT_FLOAT_EQ(out[2], 1);
    calculateNormal(out, a, c, b); // clockwise: away from the viewer
    EXPECT_FLOAT_EQ(out[2], -1);
    const float d[3] = {2, 0, 0}; // collinear: degenerate, no NaN
    calculateNormal(out, a, b, d);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(out[1], 0.0f);
    EXPECT_EQ(out[2], 0.0f);
}

TEST(Motion, SmoothAccelerationFollowsTheTrapezoidalProfile) {
    fakeClock clock;
    struct sample {
        float t, expected;
    };
    const sample samples[] = {{-1, 7},   {0, 7},      {0.5f, 7.03125f}, {1, 7.125f},
                              {2.5f, 7.5f}, {4.5f, 7.96875f}, {5, 8},   {9, 8}};
    for (const sample& s : samples) {
        clock.startShowAt(s.t);
        EXPECT_NEAR(smoothAcceleration(0, 1, 3, 7, 8), s.expected, 1e-5f) << "at t = " << s.t;
    }
}

TEST(Motion, SmoothAccelerationRunsBackwardsAndWithoutCruise) {
    fakeClock clock;
    clock.startShowAt(12.5f);
    // Halfway through a move from 10 down to 0 starting at 10 s.
    EXPECT_NEAR(smoothAcceleration(10, 1, 3, 10, 0), 5, 1e-5f);
    clock.startShowAt(11);
    EXPECT_NEAR(smoothAcceleration(10, 1, 0, 0, 4), 2, 1e-5f);
    clock.startShowAt(11.5f);
    EXPECT_NEAR(smoothAcceleration(10, 1, 0, 0, 4), 3.5f, 1e-5f);
}

TEST(Motion, SpeedUpStartsAtRestAndArrivesAtFullSpeed) {
    fakeClock clock;
    clock.startShowAt(1);
    EXPECT_FLOAT_EQ(speedUp(0, 2, 0, 4), 1);
    clock.startShowAt(2);
    EXPECT_FLOAT_EQ(speedUp(0, 2, 0, 4), 4);
    clock.startShowAt(3);
    EXPECT_FLOAT_EQ(speedUp(0, 2, 0, 4), 4);
    clock.startShowAt(0);
    EXPECT_FLOAT_EQ(speedUp(0.5f, 2, 0, 4), 0);
    EXPECT_FLOAT_EQ(speedUp(0, 2, 0, 4), 0);
}

TEST(Vec, ThreeCoordinatesMakeAPoint) {
    vec v;
    expectVec(v, 0, 0, 0, 1);
    v.set(1, 2, 3, 0);
    expectVec(v, 1, 2, 3, 0);
    v.set(4, 5, 6);
    expectVec(v, 4, 5, 6, 1);
    v.set(1, 1, 1, 7);
    v.add(1, 2, 3);
    expectVec(v, 2, 3, 4, 7);
}

TEST(Vec, SumsAndDifferencesNeverCombineW) {
    expectVec(point(1, 2, 3, 5) + point(1, 1, 1, 7), 2, 3, 4, 1);
    expectVec(point(1, 2, 3, 0) - point(1, 1, 1, 0), 0, 1, 2, 1);
}

TEST(Matrix, TranslationMovesPointsButNotDirections) {
    matrix m;
    m.setTranslate(1, 2, 3);
    expectVec(m * point(0, 0, 0), 1, 2, 3, 1);
    expectVec(m * point(0, 0, 0, 0), 0, 0, 0, 0);
    EXPECT_EQ(m.at(0, 3), 1);
    EXPECT_EQ(m.at(3, 3), 1);
}

TEST(Matrix, RotationsAreRightHandedInDegrees) {
    matrix m;
    m.setRotateZ(90);
    expectVec(m * point(1, 0, 0), 0, 1, 0, 1);
    m.setRotateX(90);
    expectVec(m * point(0, 1, 0), 0, 0, 1, 1);
    m.setRotateY(90);
    expectVec(m * point(0, 0, 1), 1, 0, 0, 1);
    m.setRotateY(-90);
    expectVec(m * point(1, 0, 0), 0, 0, 1, 1);
}

TEST(Matrix, EverySetterButSetRestartsFromTheIdentity) {
    matrix m;
    m.setTranslate(5, 6, 7);
    m.setScale(2);
    expectVec(m * point(1, 1, 1), 2, 2, 2, 1);
    m.setScale(1, 2, 3);
    expectVec(m * point(1, 1, 1), 1, 2, 3, 1);
    EXPECT_EQ(m.at(3, 3), 1);
    m.set(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m.at(0, 1), 2);
    EXPECT_EQ(m.at(1, 0), 5);
    EXPECT_EQ(m.at(3, 3), 16);
    // All four rows transform, w included.
    expectVec(m * point(1, 0, 0, 1), 5, 13, 21, 29);
}

TEST(Matrix, InAProductTheRightFactorActsFirst) {
    matrix translate, scale;
    translate.setTranslate(1, 0, 0);
    scale.setScale(2);
    expectVec((translate * scale) * point(1, 0, 0), 3, 0, 0, 1);
    expectVec((scale * translate) * point(1, 0, 0), 4, 0, 0, 1);
    matrix identity;
    matrix product = translate * identity;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(product.at(r, c), translate.at(r, c));
        }
    }
}

TEST(Printing, VectorsAndMatricesPrintCommaSeparatedRows) {
    testing::internal::CaptureStdout();
    point(1.5f, 2, 3, 0).print();
    matrix m;
    m.setTranslate(1, 2, 3);
    m.print();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "1.5,2,3,0,\n\n1,0,0,1,\n0,1,0,2,\n0,0,1,3,\n0,0,0,1,\n\n");
}
