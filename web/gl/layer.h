// The layer's entry points: the fixed-function OpenGL, GLU and GLUT calls the show makes, each
// under the name names.h gives it (glBegin -> lfglBegin) and with the system headers' signature.
// Include a GL header before this one (it provides GLenum and the other types).
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

void lfglMatrixMode(GLenum mode);
void lfglLoadIdentity(void);
void lfglPushMatrix(void);
void lfglPopMatrix(void);
void lfglTranslatef(GLfloat x, GLfloat y, GLfloat z);
void lfglRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void lfglScalef(GLfloat x, GLfloat y, GLfloat z);
void lfglOrtho(double left, double right, double bottom, double top, double zNear, double zFar);
void lfgluPerspective(double fovy, double aspect, double zNear, double zFar);
void lfgluLookAt(double eyeX, double eyeY, double eyeZ, double centerX, double centerY,
                 double centerZ, double upX, double upY, double upZ);

void lfglBegin(GLenum mode);
void lfglEnd(void);
void lfglVertex3fv(const GLfloat* v);
void lfglNormal3fv(const GLfloat* v);
void lfglColor3f(GLfloat red, GLfloat green, GLfloat blue);
void lfglColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void lfglRectf(GLfloat x1, GLfloat y1, GLfloat x2, GLfloat y2);
void lfglPointSize(GLfloat size);

void lfglEnable(GLenum cap);
void lfglDisable(GLenum cap);
GLboolean lfglIsEnabled(GLenum cap);
void lfglLightfv(GLenum light, GLenum pname, const GLfloat* params);
void lfglLightModelfv(GLenum pname, const GLfloat* params);
void lfglMaterialfv(GLenum face, GLenum pname, const GLfloat* params);
void lfglMaterialf(GLenum face, GLenum pname, GLfloat param);
void lfglDepthMask(GLboolean flag);
void lfglAlphaFunc(GLenum func, GLfloat ref);
void lfglBlendFunc(GLenum sfactor, GLenum dfactor);
void lfglPolygonMode(GLenum face, GLenum mode);
void lfglClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void lfglClear(GLbitfield mask);
void lfglViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void lfglPushAttrib(GLbitfield mask);
void lfglPopAttrib(void);

GLuint lfglGenLists(GLsizei range);
void lfglNewList(GLuint list, GLenum mode);
void lfglEndList(void);
void lfglCallList(GLuint list);
void lfglDeleteLists(GLuint list, GLsizei range);

void lfglRasterPos2i(GLint x, GLint y);
void lfglutBitmapCharacter(void* font, int character);

GLenum lfglGetError(void);
const GLubyte* lfgluErrorString(GLenum error);
void lfglGetFloatv(GLenum pname, GLfloat* params);
void lfglReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                    void* pixels);
void lfglPixelStorei(GLenum pname, GLint param);

// Everything drawn so far reaches the framebuffer (the layer batches until a clear, a read, a
// buffer swap or this).
void lfglFlush(void);
// Frames ended by a buffer swap so far (for the page's frame rate).
unsigned lfglFramesPresented(void);
void lfglFinish(void);
void lfglutSwapBuffers(void);
void lfglBindFramebuffer(GLenum target, GLuint framebuffer);

#ifdef __cplusplus
}
#endif
