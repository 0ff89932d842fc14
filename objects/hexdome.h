// A dome of hexagonal panels in rings of five about its y axis: an open dome of two full rings and
// a rim of half panels, or a closed shell of four full rings. It can build itself up panel by
// panel. Clones share the guide panel, the ring arrays and the panels.
#pragma once

#include "support/object3d.h"
#include "support/shared_parts.h"

#include <memory>

class hexdome : public object3D {
  public:
    // domeInfo: the seven-float block description, handed to every panel and not kept.
    hexdome(const float* domeInfo, bool type);
    hexdome(const hexdome& source);
    hexdome& operator=(const hexdome&) = delete;
    ~hexdome() override;
    object3D* clone() const override { return new hexdome(*this); }
    // Builds the dome up from its lowest ring; `a` counts from the start of the build-up.
    virtual void animate(float a);

    bool isClosed() const { return domeType; }
    int ringCount() const { return domeType ? 4 : 3; }
    // Ring 0 to 3 (one to four), panel 0 to 4.
    object3D* panel(int ring, int i) const;
    object3D* guide() const { return hexGuide; }

  protected:
    void privateDraw() override;

    bool timeFlag = true;
    float startTime = 0;
    int alpha = 1;
    float rotation = 0;
    float theta = 72.0f;
    object3D* hexGuide;
    object3D** hexPanelsOne;
    object3D** hexPanelsTwo;
    object3D** hexPanelsThree;
    object3D** hexPanelsFour = nullptr;
    bool domeType;

  private:
    std::shared_ptr<sharedParts> parts;
};
