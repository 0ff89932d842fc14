// One tile of the geodesic sphere: a thick triangular block cut from the hexagon triangle AIJ,
// IJ1, IJ2, always built with its outer corners on the unit sphere near +y; callers place it.
#pragma once

#include "support/object3d.h"

class bcc_triangle_block : public object3D {
  public:
    // bccInfo: inset, thickness ratio, red, green, blue, alpha, scale; read once, not kept.
    explicit bcc_triangle_block(const float* bccInfo);
    bcc_triangle_block(const bcc_triangle_block& source);
    ~bcc_triangle_block() override = default;
    object3D* clone() const override { return new bcc_triangle_block(*this); }

    float getThicknessConstant() const { return thicknessConstant; }
    float getLengthIJtCentert() const { return length_IJt_centert; }
    float getLengthAIJtCentert() const { return length_AIJt_centert; }
    const vertex& blockVertex(int i) const { return vertices[i]; }
    const face& blockFace(int i) const { return faces[i]; }

  protected:
    float thicknessConstant = 0;
    float length_IJt_centert = 0;
    float length_AIJt_centert = 0;
};
