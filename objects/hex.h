// A hexagonal panel: six sphere blocks fanned at 60 degree steps around the panel's y axis (three
// for a half panel), hung under a hidden guide block. Clones share the guide and the blocks.
#pragma once

#include "support/object3d.h"
#include "support/shared_parts.h"

#include <memory>

class hex : public object3D {
  public:
    // hexInfo: the seven-float block description, handed to every block and not kept.
    hex(const float* hexInfo, bool semi);
    hex(const hex& source);
    hex& operator=(const hex&) = delete;
    ~hex() override;
    object3D* clone() const override { return new hex(*this); }
    // Reveals the blocks one a second; `a` counts from the start of the panel's animation.
    virtual void animate(float a);

    bool isHalf() const { return halfHex; }
    object3D* block(int i) const { return triangleVector[i]; }
    object3D* guide() const { return bccBlockGuide; }
    int blockCount() const { return halfHex ? 3 : 6; }

  protected:
    void privateDraw() override;

    bool halfHex;
    bool timeFlag = true;
    float startTime = 0;
    object3D* bccBlockGuide;
    object3D** triangleVector;

  private:
    std::shared_ptr<sharedParts> parts;
};
