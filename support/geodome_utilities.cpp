// Geometry helpers of the geodesic constructions.
#include "support/geodome_utilities.h"

#include <cmath>

namespace {
double square(double x) { return x * x; }
} // namespace

float* triangle_centroid_3d(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                            float y3, float z3) {
    float* centroid = new float[3];
    centroid[0] = float((double(x1) + x2 + x3) / 3.0);
    centroid[1] = float((double(y1) + y2 + y3) / 3.0);
    centroid[2] = float((double(z1) + z2 + z3) / 3.0);
    return centroid;
}

float* point_between_two_3d(const float* point_A, const float* point_B, float ratio_num,
                            float ratio_denom) {
    if (ratio_denom == 0.0f) {
        ratio_denom = 1.0f;
    }
    float* point = new float[3];
    for (int i = 0; i < 3; ++i) {
        point[i] = float(((double(ratio_denom) - ratio_num) * point_A[i] +
                          double(ratio_num) * point_B[i]) /
                         ratio_denom);
    }
    return point;
}

float points_dist_3d(float x1, float y1, float z1, float x2, float y2, float z2) {
    return float(std::sqrt(square(double(x1) - x2) + square(double(y1) - y2) +
                           square(double(z1) - z2)));
}

void vector_directions_3d(float x1, float y1, float z1, float* ax, float* ay, float* az) {
    double v1norm = std::sqrt(square(x1) + square(y1) + square(z1));
    if (v1norm == 0.0) {
        *ax = *ay = *az = 0.0f;
        return;
    }
    *ax = arc_cosine(float(x1 / v1norm));
    *ay = arc_cosine(float(y1 / v1norm));
    *az = arc_cosine(float(z1 / v1norm));
}

float vector_separation_3d(const float* v1, const float* v2) {
    double dot = double(v1[0]) * v2[0] + double(v1[1]) * v2[1] + double(v1[2]) * v2[2];
    // The lengths are single-precision values, like every length of the construction.
    float n1 = points_dist_3d(v1[0], v1[1], v1[2], 0, 0, 0);
    float n2 = points_dist_3d(v2[0], v2[1], v2[2], 0, 0, 0);
    return arc_cosine(float(dot / (double(n1) * n2)));
}

float triangle_height_equi(float edgeA, float edgeB) {
    return float(std::sqrt(square(edgeA) - square(double(edgeB) / 2.0)));
}

float triangle_height_unequi(float oddEdge, float simEdge) {
    double odd2 = square(oddEdge);
    return float(std::sqrt(odd2 - square(odd2 / (2.0 * simEdge))));
}

float arc_cosine(float c) {
    if (c <= -1.0f) {
        return 3.1415927f;
    }
    if (c >= 1.0f) {
        return 0.0f;
    }
    return float(std::acos(double(c)));
}

float triangle_arccos(float s1, float s2, float opp_side) {
    return arc_cosine(
        float((square(s1) + square(s2) - square(opp_side)) / (2.0 * double(s1) * s2)));
}
