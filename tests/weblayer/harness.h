// Draws the same scene through the system's GL and through the web layer in one window, and
// compares what each put in the framebuffer. A scene is written once against GlApi, a table of
// the entry points, which is filled with the system's functions or with the layer's.
#pragma once

#define GL_GLEXT_PROTOTYPES
#include <GL/freeglut.h>
#include <GL/glu.h>

#include "web/gl/layer.h"

#include <string>
#include <vector>

struct GlApi {
    const char* name;
    void (*matrixMode)(GLenum);
    void (*loadIdentity)();
    void (*pushMatrix)();
    void (*popMatrix)();
    void (*translatef)(GLfloat, GLfloat, GLfloat);
    void (*rotatef)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*scalef)(GLfloat, GLfloat, GLfloat);
    void (*ortho)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble);
    void (*perspective)(GLdouble, GLdouble, GLdouble, GLdouble);
    void (*lookAt)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                   GLdouble);
    void (*begin)(GLenum);
    void (*end)();
    void (*vertex3fv)(const GLfloat*);
    void (*normal3fv)(const GLfloat*);
    void (*color3f)(GLfloat, GLfloat, GLfloat);
    void (*color4f)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*rectf)(GLfloat, GLfloat, GLfloat, GLfloat);
    void (*pointSize)(GLfloat);
    void (*enable)(GLenum);
    void (*disable)(GLenum);
    GLboolean (*isEnabled)(GLenum);
    void (*lightfv)(GLenum, GLenum, const GLfloat*);
    void (*lightModelfv)(GLenum, const GLfloat*);
    void (*materialfv)(GLenum, GLenum, const GLfloat*);
    void (*materialf)(GLenum, GLenum, GLfloat);
    void (*depthMask)(GLboolean);
    void (*alphaFunc)(GLenum, GLclampf);
    void (*blendFunc)(GLenum, GLenum);
    void (*polygonMode)(GLenum, GLenum);
    void (*clearColor)(GLclampf, GLclampf, GLclampf, GLclampf);
    void (*clear)(GLbitfield);
    void (*viewport)(GLint, GLint, GLsizei, GLsizei);
    void (*pushAttrib)(GLbitfield);
    void (*popAttrib)();
    GLuint (*genLists)(GLsizei);
    void (*newList)(GLuint, GLenum);
    void (*endList)();
    void (*callList)(GLuint);
    void (*rasterPos2i)(GLint, GLint);
    void (*bitmapCharacter)(void*, int);
    void (*getFloatv)(GLenum, GLfloat*);
    GLenum (*getError)();
    void (*finish)();
};

extern const GlApi kSystemGl;
extern const GlApi kLayerGl;

const int kWidth = 200;
const int kHeight = 150;

struct Picture {
    std::vector<unsigned char> rgb; // kWidth x kHeight, bottom row first
    const unsigned char* at(int x, int y) const { return &rgb[size_t(y * kWidth + x) * 3]; }
    bool isBackground(int x, int y) const;
    int countNonBackground() const;
};

struct Difference {
    int largest = 0;        // over all pixels and channels, in 1/255 steps
    double mean = 0;        // per channel over the whole picture
    int pixelsOver = 0;     // pixels with any channel beyond the tolerance
};
Difference compare(const Picture& a, const Picture& b, int tolerance);

// Clears to black, puts both matrices and every piece of state the scenes touch back to GL's
// defaults, runs the scene, and reads the frame back.
Picture render(const GlApi& gl, void (*scene)(const GlApi&));

// Writes both pictures side by side to the test pictures folder, for a person to look at.
void savePair(const std::string& name, const Picture& system, const Picture& layer);
