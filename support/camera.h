// The single viewpoint: an eye point, the point looked at and the up direction, handed to GL
// as a look-at transform on whatever matrix is current (the frame loop uses the projection).
#pragma once

#include "support/vec.h"

class cameraClass {
  public:
    cameraClass();
    void setLocation(float x, float y, float z) { cameraLocation.set(x, y, z); }
    void setTarget(float x, float y, float z) { cameraTarget.set(x, y, z); }
    void setUpVector(float x, float y, float z) { upVector.set(x, y, z); }
    // Moves the eye; the target stays, so the view direction turns.
    void moveBy(float x, float y, float z) { cameraLocation.add(x, y, z); }
    // Moves the target; the eye stays.
    void moveTargetBy(float x, float y, float z) { cameraTarget.add(x, y, z); }
    void tellGL();

    const vec& getLocation() const { return cameraLocation; }
    const vec& getTarget() const { return cameraTarget; }
    const vec& getUpVector() const { return upVector; }

  protected:
    vec cameraLocation;
    vec cameraTarget;
    vec upVector;
};
