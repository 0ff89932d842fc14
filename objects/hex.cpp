// Hex panel construction, drawing and the one-shot reveal.
#include "objects/hex.h"

#include "basicsource/constants.h"
#include "objects/bcc_triangle_block.h"

namespace {
// Turns the block's AIJ corner onto the y axis, where the six blocks meet.
const float kBlockTilt = -20.905167f;
const float kBlockStep = 60.0f;
} // namespace

hex::hex(const float* hexInfo, bool semi) : halfHex(semi) {
    bccBlockGuide = new bcc_triangle_block(hexInfo);
    bccBlockGuide->setParent(this);
    parts = std::make_shared<sharedParts>(this, bccBlockGuide);
    triangleVector = new object3D*[6]();
    parts->adoptArray(triangleVector);
    for (int i = 0; i < blockCount(); ++i) {
        object3D* block = new bcc_triangle_block(hexInfo);
        parts->adopt(block);
        triangleVector[i] = block;
        block->setParent(bccBlockGuide);
        block->setLocalOrientation(kBlockTilt, 0, 0);
        block->setOrientation(0, float(i - 1) * kBlockStep, 0);
    }
}

hex::hex(const hex& source)
    : object3D(source), halfHex(source.halfHex), timeFlag(source.timeFlag),
      startTime(source.startTime), bccBlockGuide(source.bccBlockGuide),
      triangleVector(source.triangleVector), parts(source.parts) {
    parts->join(this);
}

hex::~hex() { parts->leave(this); }

void hex::privateDraw() {
    // Blocks are drawn with the opaque pass argument, so translucent blocks never show.
    for (int i = 0; i < blockCount(); ++i) {
        triangleVector[i]->draw(kDrawOpaque);
    }
}

void hex::animate(float a) {
    if (timeFlag) {
        startTime = a;
        for (int i = 0; i < blockCount(); ++i) {
            triangleVector[i]->hide();
        }
        timeFlag = false;
    }
    static const float thresholds[6] = {60, 120, 180, 240, 300, 360};
    for (int i = 0; i < blockCount(); ++i) {
        if (a * 60 + startTime >= startTime + thresholds[i]) {
            triangleVector[i]->show();
        }
    }
}
