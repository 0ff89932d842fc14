// One of OpenGL's eight fixed-function lights, placed like any scene object.
#pragma once

#include "support/object3d.h"

class light : public object3D {
  public:
    // Light number 0 to 7; anything else (tested unsigned, so negatives too) ends the program.
    explicit light(short oglLightNumber);
    light();
    light(const light& source);
    light& operator=(const light& source) = default;
    ~light() override = default;
    object3D* clone() const override { return new light(*this); }

    void turnOn() { on = true; }
    void turnOff() { on = false; }
    bool isOn() const { return on; }
    void tellGL();
    unsigned short getLightID() const { return oglLightID; }

  protected:
    bool on = false;
    unsigned short oglLightID;
};
