// Hex dome construction, drawing and the timed build-up.
#include "objects/hexdome.h"

#include "basicsource/constants.h"
#include "objects/hex.h"

namespace {

// Per ring: first azimuth and tilt about x (degrees). The tilts are the angles between an
// icosahedron vertex and the face centres of the four bands around it.
struct ringLayout {
    float firstAzimuth;
    float tilt;
};
const ringLayout kRings[4] = {{72, 37.37736f}, {72, 79.18793f}, {36, 100.8125f}, {36, 142.62238f}};

// Seconds after the start of the build-up at which a ring's first panel appears, minus one.
const int kRingOffsets[4] = {35, 23, 11, 0};

} // namespace

hexdome::hexdome(const float* domeInfo, bool type) : domeType(type) {
    hexPanelsOne = new object3D*[5]();
    hexPanelsTwo = new object3D*[5]();
    hexPanelsThree = new object3D*[5]();
    if (domeType) {
        hexPanelsFour = new object3D*[5]();
    }
    theta = 72.0f;
    hexGuide = new hex(domeInfo, false);
    hexGuide->setParent(this);
    parts = std::make_shared<sharedParts>(this, hexGuide);
    for (object3D** ring : {hexPanelsOne, hexPanelsTwo, hexPanelsThree, hexPanelsFour}) {
        if (ring) {
            parts->adoptArray(ring);
        }
    }
    object3D** rings[4] = {hexPanelsOne, hexPanelsTwo, hexPanelsThree, hexPanelsFour};
    for (int r = 0; r < ringCount(); ++r) {
        // An open dome ends in a rim of half panels, which keep the half facing the top.
        bool half = (r == 2 && !domeType);
        rotation = kRings[r].firstAzimuth;
        for (int i = 0; i < 5; ++i) {
            object3D* p = new hex(domeInfo, half);
            parts->adopt(p);
            rings[r][i] = p;
            p->setParent(hexGuide);
            p->setLocalOrientation(kRings[r].tilt, 0, 0);
            p->setOrientation(0, rotation, 0);
            rotation = rotation + theta;
        }
    }
}

hexdome::hexdome(const hexdome& source)
    : object3D(source), timeFlag(source.timeFlag), startTime(source.startTime),
      alpha(source.alpha), rotation(source.rotation), theta(source.theta),
      hexGuide(source.hexGuide), hexPanelsOne(source.hexPanelsOne),
      hexPanelsTwo(source.hexPanelsTwo), hexPanelsThree(source.hexPanelsThree),
      hexPanelsFour(source.hexPanelsFour), domeType(source.domeType), parts(source.parts) {
    parts->join(this);
}

hexdome::~hexdome() { parts->leave(this); }

object3D* hexdome::panel(int ring, int i) const {
    object3D** rings[4] = {hexPanelsOne, hexPanelsTwo, hexPanelsThree, hexPanelsFour};
    return rings[ring][i];
}

void hexdome::privateDraw() {
    for (int i = 0; i < 5; ++i) {
        for (int r = 0; r < ringCount(); ++r) {
            panel(r, i)->draw(kDrawOpaque);
        }
    }
}

void hexdome::animate(float a) {
    if (timeFlag) {
        startTime = a;
        for (int i = 0; i < 5; ++i) {
            for (int r = 0; r < 3; ++r) {
                panel(r, i)->hide();
            }
        }
        if (domeType) {
            for (int i = 0; i < 5; ++i) {
                panel(3, i)->hide();
            }
        }
        timeFlag = false;
    }
    // Lowest ring first: four (closed shells only), three, two, one.
    for (int r = ringCount() - 1; r >= 0; --r) {
        for (int k = 1; k <= 5; ++k) {
            if (a >= float(k + kRingOffsets[r])) {
                panel(r, k - 1)->show();
            }
        }
    }
}
