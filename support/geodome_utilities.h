// Small 3-D geometry functions behind the geodesic constants and the sphere block. Floats in and
// out, double precision inside; the two that produce points return arrays the caller owns.
#pragma once

float* triangle_centroid_3d(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                            float y3, float z3);
// The point ratio_num / ratio_denom of the way from A to B; a zero denominator counts as 1.
float* point_between_two_3d(const float* point_A, const float* point_B, float ratio_num,
                            float ratio_denom);
float points_dist_3d(float x1, float y1, float z1, float x2, float y2, float z2);
// The angles between the vector and the three axes, in radians; 0, 0, 0 for a zero vector.
void vector_directions_3d(float x1, float y1, float z1, float* ax, float* ay, float* az);
float vector_separation_3d(const float* v1, const float* v2);
// Altitude from the apex of an isosceles triangle with sides edgeA and base edgeB.
float triangle_height_equi(float edgeA, float edgeB);
// Altitude from a base corner onto a side, in an isosceles triangle with base oddEdge.
float triangle_height_unequi(float oddEdge, float simEdge);
// acos clamped to its domain, so rounding just beyond +-1 gives 0 or pi.
float arc_cosine(float c);
// The angle between sides s1 and s2 of a triangle whose third side is opp_side.
float triangle_arccos(float s1, float s2, float opp_side);
