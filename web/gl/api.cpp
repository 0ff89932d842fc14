// The C entry points. Each checks what GL checks before a call can take effect (calls that GL
// forbids between glBegin and glEnd, bad enums) and hands the work to the context.
#include "web/gl/context.h"
#include "web/gl/layer.h"

#include <vector>

using lfgl::Context;
using lfgl::context;

namespace {

// Calls GL refuses between glBegin and glEnd.
bool refused() { return context().refusedInsideBegin(); }

void multiply(const lfgl::Mat4& m) {
    if (!refused()) {
        context().multiply(m);
    }
}

// GL_RGB bytes from an RGBA read: ES guarantees only RGBA for the window's framebuffer.
void readRgb(GLint x, GLint y, GLsizei width, GLsizei height, unsigned char* out) {
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    std::vector<unsigned char> rgba(size_t(width) * size_t(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const size_t a = size_t(alignment);
    const size_t stride = (size_t(width) * 3 + a - 1) / a * a;
    for (size_t row = 0; row < size_t(height); ++row) {
        for (size_t column = 0; column < size_t(width); ++column) {
            const unsigned char* from = &rgba[(row * size_t(width) + column) * 4];
            unsigned char* to = out + row * stride + column * 3;
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

} // namespace

extern "C" {

// ---- matrices ------------------------------------------------------------------------------

void lfglMatrixMode(GLenum mode) {
    if (!refused()) {
        context().matrixMode(mode);
    }
}

void lfglLoadIdentity(void) {
    if (!refused()) {
        context().loadIdentity();
    }
}

void lfglPushMatrix(void) {
    if (!refused()) {
        context().pushMatrix();
    }
}

void lfglPopMatrix(void) {
    if (!refused()) {
        context().popMatrix();
    }
}

void lfglTranslatef(GLfloat x, GLfloat y, GLfloat z) { multiply(lfgl::translation(x, y, z)); }

void lfglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    multiply(lfgl::rotation(angle, x, y, z));
}

void lfglScalef(GLfloat x, GLfloat y, GLfloat z) { multiply(lfgl::scaling(x, y, z)); }

void lfglOrtho(double left, double right, double bottom, double top, double zNear, double zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        context().error(GL_INVALID_VALUE);
        return;
    }
    multiply(lfgl::orthographic(left, right, bottom, top, zNear, zFar));
}

void lfgluPerspective(double fovy, double aspect, double zNear, double zFar) {
    if (aspect == 0 || zNear == zFar || fovy == 0) {
        return; // GLU leaves the matrix alone for a volume of no size
    }
    multiply(lfgl::perspective(fovy, aspect, zNear, zFar));
}

void lfgluLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                 double centerZ, double upX, double upY, double upZ) {
    const double eye[3] = {eyeX, eyeY, eyeZ}, centre[3] = {centerX, centerY, centerZ};
    const double up[3] = {upX, upY, upZ};
    multiply(lfgl::lookAt(eye, centre, up));
}

// ---- immediate mode ------------------------------------------------------------------------

void lfglBegin(GLenum mode) { context().begin(mode); }
void lfglEnd(void) { context().end(); }
void lfglVertex3fv(const GLfloat* v) { context().vertex(v); }
void lfglNormal3fv(const GLfloat* v) { context().normal(v); }
void lfglColor3f(GLfloat r, GLfloat g, GLfloat b) { context().colour(r, g, b, 1); }
void lfglColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { context().colour(r, g, b, a); }

void lfglRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2) {
    if (!refused()) {
        context().rect(x1, y1, x2, y2);
    }
}

void lfglPointSize(GLfloat size) {
    if (refused()) {
        return;
    }
    if (!(size > 0)) {
        context().error(GL_INVALID_VALUE);
        return;
    }
    context().state.pointSize = size;
    context().stateChanged();
}

// ---- state ---------------------------------------------------------------------------------

void lfglEnable(GLenum cap) {
    if (!refused()) {
        context().setEnabled(cap, true);
    }
}

void lfglDisable(GLenum cap) {
    if (!refused()) {
        context().setEnabled(cap, false);
    }
}

GLboolean lfglIsEnabled(GLenum cap) { return context().isEnabled(cap) ? GL_TRUE : GL_FALSE; }

void lfglLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    if (!refused()) {
        context().light(light, pname, params);
    }
}

void lfglLightModelfv(GLenum pname, const GLfloat* params) {
    if (!refused()) {
        context().lightModel(pname, params);
    }
}

// Allowed between glBegin and glEnd, as in GL.
void lfglMaterialfv(GLenum face, GLenum pname, const GLfloat* params) {
    context().material(face, pname, params);
}

void lfglMaterialf(GLenum face, GLenum pname, GLfloat param) {
    if (pname != GL_SHININESS) {
        context().error(GL_INVALID_ENUM);
        return;
    }
    context().material(face, pname, &param);
}

void lfglDepthMask(GLboolean flag) {
    if (!refused()) {
        context().state.depthMask = flag != GL_FALSE;
        context().stateChanged();
    }
}

void lfglAlphaFunc(GLenum func, GLfloat ref) {
    if (refused()) {
        return;
    }
    if (func < GL_NEVER || func > GL_ALWAYS) {
        context().error(GL_INVALID_ENUM);
        return;
    }
    context().state.alphaFunction = func;
    context().state.alphaReference = ref;
    context().stateChanged();
}

void lfglBlendFunc(GLenum sfactor, GLenum dfactor) {
    if (!refused()) {
        context().state.blendSource = sfactor; // the GPU's GL checks the factors
        context().state.blendDestination = dfactor;
        context().stateChanged();
    }
}

void lfglPolygonMode(GLenum face, GLenum mode) {
    if (refused()) {
        return;
    }
    if (face != GL_FRONT_AND_BACK || (mode != GL_FILL && mode != GL_LINE && mode != GL_POINT)) {
        context().error(GL_INVALID_ENUM); // only one polygon mode for both sides
        return;
    }
    context().state.polygonMode = mode;
}

void lfglClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    if (!refused()) {
        context().state.clearColour = lfgl::Rgba{{r, g, b, a}};
    }
}

void lfglClear(GLbitfield mask) {
    if (!refused()) {
        context().clear(mask);
    }
}

void lfglViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (refused()) {
        return;
    }
    if (width < 0 || height < 0) {
        context().error(GL_INVALID_VALUE);
        return;
    }
    int* v = context().state.viewport;
    v[0] = x;
    v[1] = y;
    v[2] = width;
    v[3] = height;
    context().stateChanged();
}

void lfglPushAttrib(GLbitfield mask) {
    if (!refused()) {
        context().pushAttrib(mask);
    }
}

void lfglPopAttrib(void) {
    if (!refused()) {
        context().popAttrib();
    }
}

// ---- display lists -------------------------------------------------------------------------

GLuint lfglGenLists(GLsizei range) { return refused() ? 0 : context().genLists(range); }

void lfglNewList(GLuint list, GLenum mode) {
    if (!refused()) {
        context().newList(list, mode);
    }
}

void lfglEndList(void) {
    if (!refused()) {
        context().endList();
    }
}

void lfglCallList(GLuint list) { context().callList(list); }

void lfglDeleteLists(GLuint list, GLsizei range) {
    if (!refused()) {
        context().deleteLists(list, range);
    }
}

// ---- text ----------------------------------------------------------------------------------

void lfglRasterPos2i(GLint x, GLint y) {
    if (!refused()) {
        context().rasterPos(float(x), float(y), 0);
    }
}

// Every font is drawn as the 8 x 13 one, the only font the show uses.
void lfglutBitmapCharacter(void*, int character) {
    if (!refused()) {
        context().bitmapCharacter(static_cast<unsigned char>(character));
    }
}

// ---- queries and pixels --------------------------------------------------------------------

GLenum lfglGetError(void) {
    const GLenum own = context().takeError();
    return own != GL_NO_ERROR ? own : glGetError();
}

const GLubyte* lfgluErrorString(GLenum error) {
    const char* text = nullptr;
    switch (error) {
    case GL_NO_ERROR:
        text = "no error";
        break;
    case GL_INVALID_ENUM:
        text = "invalid enumerant";
        break;
    case GL_INVALID_VALUE:
        text = "invalid value";
        break;
    case GL_INVALID_OPERATION:
        text = "invalid operation";
        break;
    case GL_STACK_OVERFLOW:
        text = "stack overflow";
        break;
    case GL_STACK_UNDERFLOW:
        text = "stack underflow";
        break;
    case GL_OUT_OF_MEMORY:
        text = "out of memory";
        break;
    case GL_INVALID_FRAMEBUFFER_OPERATION:
        text = "invalid framebuffer operation";
        break;
    default:
        return nullptr;
    }
    return reinterpret_cast<const GLubyte*>(text);
}

void lfglGetFloatv(GLenum pname, GLfloat* params) {
    Context& c = context();
    const lfgl::State& s = c.state;
    const float* from = nullptr;
    int n = 0;
    switch (pname) {
    case GL_MODELVIEW_MATRIX:
        from = c.modelView().m;
        n = 16;
        break;
    case GL_PROJECTION_MATRIX:
        from = c.projection().m;
        n = 16;
        break;
    case GL_CURRENT_COLOR:
        from = s.colour.v;
        n = 4;
        break;
    case GL_CURRENT_RASTER_COLOR:
        from = s.raster.colour.v;
        n = 4;
        break;
    case GL_CURRENT_RASTER_POSITION:
        from = s.raster.window;
        n = 3;
        params[3] = 1;
        break;
    case GL_POINT_SIZE:
        from = &s.pointSize;
        n = 1;
        break;
    default:
        glGetFloatv(pname, params);
        return;
    }
    for (int i = 0; i < n; ++i) {
        params[i] = from[i];
    }
}

void lfglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                    void* pixels) {
    context().flush();
    if (format == GL_RGB && type == GL_UNSIGNED_BYTE && width > 0 && height > 0) {
        readRgb(x, y, width, height, static_cast<unsigned char*>(pixels));
        return;
    }
    glReadPixels(x, y, width, height, format, type, pixels);
}

void lfglPixelStorei(GLenum pname, GLint param) { glPixelStorei(pname, param); }

// ---- flushing ------------------------------------------------------------------------------

void lfglFlush(void) {
    context().flush();
    glFlush();
}

void lfglFinish(void) {
    context().flush();
    glFinish();
}

void lfglBindFramebuffer(GLenum target, GLuint framebuffer) {
    context().flush(); // what was drawn belongs to the framebuffer bound so far
    glBindFramebuffer(target, framebuffer);
}

} // extern "C"
