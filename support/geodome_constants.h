// The constants of the frequency-3 geodesic sphere: coordinates of its vertices, third points and
// face centres on the unit sphere, and the lengths and angles of its triangles. Computed once
// from the golden ratio when the program starts (blocks are built from main onwards).
#pragma once

extern const float ZERO, ONE, IS1, IS2, PHI, IPR, IS3, IS4, IS5, IS6, ISR, IT3, IT6, IT7, ITR;
extern const float SP1, SP2, SS0, SS1, SS2, SS3, SS4, SS5, SS6, ST3, ST6, ST7;

extern const float Yaxis[3];
extern const float vertex_A[3];
extern const float vertex_DJI[3];
extern const float vertex_DGJ[3];
extern const float vertex_CGD[3];
extern const float AIJ[3];
extern const float IJ1[3];
extern const float IJ2[3];
// The centroid of the triangle AIJ, IJ1, IJ2 from which every sphere block is cut.
extern const float* const center;

extern const float length_IJ_center, length_AIJ_center, radius_center;
extern const float edge_A, edge_B, edge_C;
extern const float chord_PT, chord_TT, chord_SS1, chord_SS2;
extern const float height_P_SS, height_T_SS, height_S_PS, height_S_TS;
extern const float angle_di_BB1, angle_di_BB2, angle_di_AA, angle_di_CC;
extern const float angle_AIJ_Yaxis, angle_A_AIJ, angle_A_DJI, angle_A_DGJ, angle_A_CGD;

// Room for the 92 points of the sphere; the first 12 are the icosahedron's vertices, the rest 0.
extern float geosphere_vertices[276];
