// Lights in a real GL context: switching, where they stand, and clones sharing a GL light.
#include "support/light.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class Lighting : public testing::Test {
  protected:
    void SetUp() override {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
};

} // namespace

TEST_F(Lighting, TellGLSwitchesTheGLLight) {
    light l(5);
    l.setColour(0, 1, 0, 1);
    glEnable(GL_LIGHT5);
    l.tellGL(); // never turned on
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
    l.turnOn();
    l.tellGL();
    EXPECT_TRUE(glIsEnabled(GL_LIGHT5));
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT5, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 1);
    EXPECT_FLOAT_EQ(diffuse[0], 0);
    GLfloat specular[4];
    glGetLightfv(GL_LIGHT5, GL_SPECULAR, specular);
    EXPECT_FLOAT_EQ(specular[0], 0.5f);
    l.turnOff();
    l.tellGL();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT5));
}

TEST_F(Lighting, AnUnplacedLightStandsAtTwiceItsLocation) {
    light l(6);
    l.turnOn();
    l.tellGL();
    GLfloat position[4];
    glGetLightfv(GL_LIGHT6, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], -12);
    EXPECT_FLOAT_EQ(position[1], 3);
    EXPECT_FLOAT_EQ(position[2], 50);
    EXPECT_FLOAT_EQ(position[3], 1);

    l.setLocation(1, 2, 3);
    l.setScale(2); // scale acts after the translation: (1,2,3) + 2 * (1,2,3)
    l.tellGL();
    glGetLightfv(GL_LIGHT6, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[0], 3);
    EXPECT_FLOAT_EQ(position[2], 9);
    l.turnOff();
    l.tellGL();
}

TEST_F(Lighting, AClonedLightDrivesTheSameGLLight) {
    light original(7);
    original.turnOn();
    object3D* copy = original.clone();
    light* twin = static_cast<light*>(copy);
    twin->setLocation(0, 0, 1);
    twin->tellGL();
    GLfloat position[4];
    glGetLightfv(GL_LIGHT7, GL_POSITION, position);
    EXPECT_FLOAT_EQ(position[2], 2);
    twin->turnOff();
    twin->tellGL();
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_TRUE(original.isOn());
    delete copy;
}
