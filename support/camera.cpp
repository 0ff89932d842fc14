// The camera's defaults and its look-at transform.
#include "support/camera.h"

#include <GL/glu.h>

cameraClass::cameraClass() {
    cameraLocation.set(0, 0, 8);
    cameraTarget.set(0, 0, 0);
    upVector.set(0, 1, 0);
}

void cameraClass::tellGL() {
    gluLookAt(cameraLocation.data[0], cameraLocation.data[1], cameraLocation.data[2],
              cameraTarget.data[0], cameraTarget.data[1], cameraTarget.data[2], upVector.data[0],
              upVector.data[1], upVector.data[2]);
}
