// The layer's matrix stacks against the system GL's: the same calls on both, the matrices read
// back with glGetFloatv and compared element by element.
#include "harness.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Both build the factors in double and multiply in float, in different orders.
void expectSameMatrix(GLenum which, const char* step) {
    GLfloat system[16], layer[16];
    glGetFloatv(which, system);
    lfglGetFloatv(which, layer);
    for (int i = 0; i < 16; ++i) {
        const float scale = std::fmax(1.0f, std::fabs(system[i]));
        EXPECT_NEAR(layer[i], system[i], 2e-6f * scale) << step << ", element " << i;
    }
}

void both(void (*calls)(const GlApi&)) {
    calls(kSystemGl);
    calls(kLayerGl);
}

} // namespace

TEST(Matrices, ModelViewTransformsMatchTheSystemGl) {
    both([](const GlApi& gl) {
        gl.matrixMode(GL_MODELVIEW);
        gl.loadIdentity();
        gl.translatef(1.5f, -2, 3.25f);
        gl.rotatef(33, 1, 0, 0);
        gl.rotatef(-71.5f, 0, 1, 0);
        gl.rotatef(200, 0, 0, 1);
        gl.scalef(0.5f, 2, -1.5f);
        gl.rotatef(12, 1, 2, 3); // an axis of any length
    });
    expectSameMatrix(GL_MODELVIEW_MATRIX, "translate, rotations, scale");

    both([](const GlApi& gl) {
        gl.pushMatrix();
        gl.translatef(9, 9, 9);
        gl.pushMatrix();
        gl.rotatef(90, 0, 1, 0);
    });
    expectSameMatrix(GL_MODELVIEW_MATRIX, "two pushes");
    both([](const GlApi& gl) { gl.popMatrix(); });
    expectSameMatrix(GL_MODELVIEW_MATRIX, "one pop");
    both([](const GlApi& gl) { gl.popMatrix(); });
    expectSameMatrix(GL_MODELVIEW_MATRIX, "back to the first");
}

TEST(Matrices, ProjectionsMatchTheSystemGl) {
    both([](const GlApi& gl) {
        gl.matrixMode(GL_PROJECTION);
        gl.loadIdentity();
        gl.perspective(45, 720.0 / 576.0, 0.1, 500);
        gl.lookAt(-6, 1.5, 25, 0.5, 0, -1, 0, 1, 0);
    });
    expectSameMatrix(GL_PROJECTION_MATRIX, "the show's camera");
    both([](const GlApi& gl) {
        gl.pushMatrix();
        gl.loadIdentity();
        gl.ortho(0, 720, 0, 576, -1, 1);
    });
    expectSameMatrix(GL_PROJECTION_MATRIX, "an overlay's orthographic projection");
    both([](const GlApi& gl) {
        gl.popMatrix();
        gl.lookAt(3, 4, 5, 3, 4, 0, 1, 1, 0); // an up vector not at right angles
        gl.matrixMode(GL_MODELVIEW);
    });
    expectSameMatrix(GL_PROJECTION_MATRIX, "after the pop, another look-at");
}

TEST(Matrices, StacksReportUnderflowAndOverflowLikeGl) {
    lfglMatrixMode(GL_MODELVIEW);
    lfglLoadIdentity();
    while (lfglGetError() != GL_NO_ERROR) {
    }
    lfglPopMatrix();
    EXPECT_EQ(lfglGetError(), GLenum(GL_STACK_UNDERFLOW));
    int pushes = 0;
    for (; pushes < 100; ++pushes) {
        lfglPushMatrix();
        if (lfglGetError() == GL_STACK_OVERFLOW) {
            break;
        }
    }
    GLint systemDepth = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &systemDepth);
    EXPECT_EQ(pushes + 1, systemDepth); // the identity at the bottom takes one place
    for (int i = 0; i < pushes; ++i) {
        lfglPopMatrix();
    }
    EXPECT_EQ(lfglGetError(), GLenum(GL_NO_ERROR));
}
