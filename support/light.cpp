// Lights: construction, copying and handing the state to OpenGL.
#include "support/light.h"

#include "basicsource/utility.h"

#include <GL/gl.h>

// A numbered light is the plain light placed further out, opaque, on its own GL light.
light::light(short oglLightNumber) : light() {
    location.set(-6.0f, 1.5f, 25.0f);
    setColour(0.7f, 0.7f, 0.7f, 1.0f);
    if (static_cast<unsigned short>(oglLightNumber) > 7) {
        fatal("attempt to create a non-existent OpenGL light");
    }
    oglLightID = static_cast<unsigned short>(GL_LIGHT0 + oglLightNumber);
}

light::light() {
    location.set(-6.0f, 1.5f, 2.25f);
    setColour(0.5f, 0.5f, 0.5f, 0.5f);
    setSpecularColour(0.5f, 0.5f, 0.5f, 1.0f);
    parent = nullptr;
    oglLightID = GL_LIGHT0;
    on = false;
}

light::light(const light& source) : object3D(source), on(source.on), oglLightID(source.oglLightID) {}

void light::tellGL() {
    if (!on) {
        glDisable(oglLightID);
        return;
    }
    glEnable(oglLightID);
    // The position is transformed by the light's own transform, which already starts with a
    // translation by `location`: an unplaced light shines from twice its location.
    glLoadIdentity();
    buildModelViewMatrix(0);
    glLightfv(oglLightID, GL_POSITION, location.data);
    glLightfv(oglLightID, GL_DIFFUSE, theColour);
    glLightfv(oglLightID, GL_SPECULAR, theSpecularColour);
}
