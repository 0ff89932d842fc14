// Construction of the sphere block: an outer triangle on the unit sphere, an inset triangle
// below it, and walls and ledges between them, every surface entered in both windings.
#include "objects/bcc_triangle_block.h"

#include "basicsource/utility.h"
#include "support/geodome_constants.h"
#include "support/geodome_utilities.h"

#include <memory>
#include <new>

namespace {

using point = std::unique_ptr<float[]>;

// The point at distance d from p on the way to x, given |p - x| as `length`.
point towards(const float* p, const float* x, float d, float length) {
    return point(point_between_two_3d(p, x, d, length));
}

// Faces in pairs, one per winding: 2 outer triangles, then 18 quadrilaterals, then 2 inner.
const short kFaces[22][4] = {
    {0, 2, 1, -1},   {1, 2, 0, -1},                                     // outer face
    {0, 3, 5, 2},    {2, 5, 3, 0},   {1, 2, 5, 4},   {4, 5, 2, 1},     // outer walls
    {0, 1, 4, 3},    {3, 4, 1, 0},                                      //
    {3, 6, 8, 5},    {5, 8, 6, 3},   {5, 8, 7, 4},   {4, 7, 8, 5},     // ledges
    {4, 7, 6, 3},    {3, 6, 7, 4},                                      //
    {9, 11, 8, 6},   {6, 8, 11, 9},  {10, 7, 8, 11}, {11, 8, 7, 10},   // inner walls
    {9, 6, 7, 10},   {10, 7, 6, 9},                                     //
    {9, 10, 11, -1}, {11, 10, 9, -1}};                                  // inner ceiling

} // namespace

bcc_triangle_block::bcc_triangle_block(const float* bccInfo) {
    const float k = 1.0f - bccInfo[0];
    const float AIJt[3] = {0.0f, k * ST6, k * ST3};
    const float IJ1t[3] = {k * SS1, k * SS0, 0.0f};
    const float IJ2t[3] = {-SS1 * k, k * SS0, 0.0f};
    point centert(triangle_centroid_3d(AIJt[0], AIJt[1], AIJt[2], IJ1t[0], IJ1t[1], IJ1t[2],
                                       IJ2t[0], IJ2t[1], IJ2t[2]));
    const float* ct = centert.get();
    length_IJt_centert = points_dist_3d(ct[0], ct[1], ct[2], IJ1t[0], IJ1t[1], IJ1t[2]);
    thicknessConstant = length_IJt_centert * bccInfo[1];

    point AIJr = towards(AIJ, center, thicknessConstant, length_AIJ_center);
    point IJ1r = towards(IJ1, center, thicknessConstant, length_IJ_center);
    point IJ2r = towards(IJ2, center, thicknessConstant, length_IJ_center);

    length_AIJt_centert = points_dist_3d(ct[0], ct[1], ct[2], AIJt[0], AIJt[1], AIJt[2]);
    point AIJu = towards(AIJt, ct, thicknessConstant, length_AIJt_centert);
    point IJ1u = towards(IJ1t, ct, thicknessConstant, length_IJt_centert);
    point IJ2u = towards(IJ2t, ct, thicknessConstant, length_IJt_centert);

    // One denominator for all three: each s point lies the same fraction of the way to its u.
    const float d = 2.0f * length_AIJ_center;
    point AIJs = towards(AIJr.get(), AIJu.get(), thicknessConstant, d);
    point IJ1s = towards(IJ1r.get(), IJ1u.get(), thicknessConstant, d);
    point IJ2s = towards(IJ2r.get(), IJ2u.get(), thicknessConstant, d);

    setColour(bccInfo[2], bccInfo[3], bccInfo[4], bccInfo[5]);
    setLocalScale(bccInfo[6], bccInfo[6], bccInfo[6]);

    vertexCount = 12;
    faceCount = 22;
    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount];
    if (!vertices || !faces) {
        fatal("bcc constructor couldn't allocate a vertex and/or face array (out of memory?)");
    }
    const float* corners[12] = {AIJ,        IJ1,        IJ2,        AIJt,       IJ1t,       IJ2t,
                                AIJu.get(), IJ1u.get(), IJ2u.get(), AIJs.get(), IJ1s.get(),
                                IJ2s.get()};
    for (int i = 0; i < 12; ++i) {
        vertices[i].set(corners[i][0], corners[i][1], corners[i][2]);
    }
    for (int i = 0; i < 22; ++i) {
        const short* c = kFaces[i];
        if (c[3] < 0) {
            faces[i].init(c[0], c[1], c[2]);
        } else {
            faces[i].init(c[0], c[1], c[2], c[3]);
        }
    }
    calculateFaceNormals();
}

bcc_triangle_block::bcc_triangle_block(const bcc_triangle_block& source)
    : object3D(source), thicknessConstant(source.thicknessConstant),
      length_IJt_centert(source.length_IJt_centert),
      length_AIJt_centert(source.length_AIJt_centert) {}
