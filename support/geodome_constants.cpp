// The geodesic constants, defined in the order in which each is computed from the ones before.
// Every value is the stored single-precision result of a double-precision expression.
#include "support/geodome_constants.h"

#include "support/geodome_utilities.h"

#include <cmath>

namespace {
float f(double x) { return float(x); }
float root(double x) { return float(std::sqrt(x)); }
} // namespace

const float ZERO = 0.0f;
const float ONE = 1.0f;
const float IS1 = 1.0f / 3.0f;
const float IS2 = 2.0f / 3.0f;
const float PHI = f((std::sqrt(5.0) + 1.0) * 0.5);
const float IPR = root(double(PHI) + 2.0);
const float IS3 = f(double(PHI) * IS1);
const float IS4 = f(double(PHI) * IS2);
const float IS5 = f(double(IS3) + IS2);
const float IS6 = f(double(IS4) + IS1);
const float ISR = root(double(PHI) + 10.0 / 9.0);
const float IT3 = IS3;
const float IT6 = IS6;
const float IT7 = f(double(IT3) + IS1);
const float ITR = root(double(PHI) + 2.0 / 3.0);
const float SP1 = f(1.0 / IPR);
const float SP2 = f(double(PHI) / IPR);
const float SS0 = f(double(PHI) / ISR);
const float SS1 = f(double(IS1) / ISR);
const float SS2 = f(double(IS2) / ISR);
const float SS3 = f(double(IS3) / ISR);
const float SS4 = f(double(IS4) / ISR);
const float SS5 = f(double(IS5) / ISR);
const float SS6 = f(double(IS6) / ISR);
const float ST3 = f(double(IT3) / ITR);
const float ST6 = f(double(IT6) / ITR);
const float ST7 = f(double(IT7) / ITR);

const float Yaxis[3] = {0.0f, 1.0f, 0.0f};
const float vertex_A[3] = {0.0f, SP1, SP2};
const float vertex_DJI[3] = {0.0f, ST6, -ST3};
const float vertex_DGJ[3] = {-ST7, ST7, -ST7};
const float vertex_CGD[3] = {-ST3, 0.0f, -ST6};
const float AIJ[3] = {0.0f, ST6, ST3};
const float IJ1[3] = {SS1, SS0, 0.0f};
const float IJ2[3] = {-SS1, SS0, 0.0f};
// Made once and kept for the life of the program.
const float* const center =
    triangle_centroid_3d(AIJ[0], AIJ[1], AIJ[2], IJ1[0], IJ1[1], IJ1[2], IJ2[0], IJ2[1], IJ2[2]);

const float length_IJ_center =
    points_dist_3d(center[0], center[1], center[2], IJ1[0], IJ1[1], IJ1[2]);
const float length_AIJ_center =
    points_dist_3d(center[0], center[1], center[2], AIJ[0], AIJ[1], AIJ[2]);
const float radius_center = points_dist_3d(center[0], center[1], center[2], 0, 0, 0);
const float edge_A = points_dist_3d(-SP1, SP2, 0, -SS1, SS0, 0);
const float edge_B = points_dist_3d(IJ1[0], IJ1[1], IJ1[2], IJ2[0], IJ2[1], IJ2[2]);
const float edge_C = points_dist_3d(IJ1[0], IJ1[1], IJ1[2], AIJ[0], AIJ[1], AIJ[2]);
const float chord_PT = points_dist_3d(SP1, SP2, 0, AIJ[0], AIJ[1], AIJ[2]);
const float chord_TT = points_dist_3d(ST7, ST7, ST7, AIJ[0], AIJ[1], AIJ[2]);
const float chord_SS1 = points_dist_3d(SS3, SS2, SS6, -SS1, SS5, SS4);
const float chord_SS2 = points_dist_3d(SS1, SS0, 0, -SS2, SS6, SS3);
const float height_P_SS = triangle_height_equi(edge_A, edge_B);
const float height_T_SS = triangle_height_equi(edge_C, edge_B);
const float height_S_PS = triangle_height_unequi(edge_B, edge_A);
const float height_S_TS = triangle_height_unequi(edge_B, edge_C);
const float angle_di_BB1 = triangle_arccos(height_P_SS, height_T_SS, chord_PT);
const float angle_di_BB2 = triangle_arccos(height_T_SS, height_T_SS, chord_TT);
const float angle_di_AA = triangle_arccos(height_S_PS, height_S_PS, chord_SS1);
const float angle_di_CC = triangle_arccos(height_S_TS, height_S_TS, chord_SS2);
const float angle_AIJ_Yaxis = vector_separation_3d(AIJ, Yaxis);
const float angle_A_AIJ = vector_separation_3d(AIJ, vertex_A);
const float angle_A_DJI = vector_separation_3d(vertex_DJI, vertex_A);
const float angle_A_DGJ = vector_separation_3d(vertex_DGJ, vertex_A);
const float angle_A_CGD = vector_separation_3d(vertex_CGD, vertex_A);

namespace {
// The first twelve points are the icosahedron's vertices on the unit sphere: A, then the others
// in the fixed order below; the remaining 80 points stay at the origin.
bool fillGeosphereVertices(float* table) {
    for (int i = 0; i < 276; ++i) {
        table[i] = 0.0f;
    }
    const float s1 = SP1, s2 = SP2;
    const float icosahedron[12][3] = {{0, s1, s2},  {0, -s1, s2},  {0, -s1, -s2}, {0, s1, -s2},
                                      {s2, 0, s1},  {-s2, 0, s1},  {-s2, 0, -s1}, {s2, 0, -s1},
                                      {s1, s2, 0},  {-s1, s2, 0},  {-s1, -s2, 0}, {s1, -s2, 0}};
    for (int p = 0; p < 12; ++p) {
        for (int c = 0; c < 3; ++c) {
            table[p * 3 + c] = icosahedron[p][c];
        }
    }
    return true;
}
} // namespace

float geosphere_vertices[276];
[[maybe_unused]] static const bool geosphereFilled = fillGeosphereVertices(geosphere_vertices);
