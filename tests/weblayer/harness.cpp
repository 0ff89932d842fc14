// The two tables of entry points, the rendering and the comparison.
#include "harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void systemBitmapCharacter(void*, int c) { glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c); }

void resetState(const GlApi& gl) {
    gl.viewport(0, 0, kWidth, kHeight);
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.matrixMode(GL_MODELVIEW);
    gl.loadIdentity();
    for (GLenum cap : {GLenum(GL_LIGHTING), GLenum(GL_NORMALIZE), GLenum(GL_DEPTH_TEST),
                       GLenum(GL_CULL_FACE), GLenum(GL_BLEND), GLenum(GL_ALPHA_TEST),
                       GLenum(GL_TEXTURE_2D)}) {
        gl.disable(cap);
    }
    const GLfloat white[4] = {1, 1, 1, 1}, black[4] = {0, 0, 0, 1};
    const GLfloat defaultPosition[4] = {0, 0, 1, 0};
    for (int i = 0; i < 8; ++i) {
        gl.disable(GLenum(GL_LIGHT0 + i));
        gl.lightfv(GLenum(GL_LIGHT0 + i), GL_DIFFUSE, i == 0 ? white : black);
        gl.lightfv(GLenum(GL_LIGHT0 + i), GL_SPECULAR, i == 0 ? white : black);
        gl.lightfv(GLenum(GL_LIGHT0 + i), GL_POSITION, defaultPosition);
    }
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    gl.lightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    gl.materialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    gl.materialfv(GL_FRONT, GL_SPECULAR, black);
    gl.materialf(GL_FRONT, GL_SHININESS, 0);
    gl.depthMask(GL_TRUE);
    gl.alphaFunc(GL_ALWAYS, 0);
    gl.blendFunc(GL_ONE, GL_ZERO);
    gl.polygonMode(GL_FRONT_AND_BACK, GL_FILL);
    gl.pointSize(1);
    gl.color4f(1, 1, 1, 1);
    const GLfloat up[3] = {0, 0, 1};
    gl.normal3fv(up);
    gl.clearColor(0, 0, 0, 1);
    gl.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

const GlApi kSystemGl = {
    "system",      glMatrixMode,    glLoadIdentity, glPushMatrix,   glPopMatrix,
    glTranslatef,  glRotatef,       glScalef,       glOrtho,        gluPerspective,
    gluLookAt,     glBegin,         glEnd,          glVertex3fv,    glNormal3fv,
    glColor3f,     glColor4f,       glRectf,        glPointSize,    glEnable,
    glDisable,     glIsEnabled,     glLightfv,      glLightModelfv, glMaterialfv,
    glMaterialf,   glDepthMask,     glAlphaFunc,    glBlendFunc,    glPolygonMode,
    glClearColor,  glClear,         glViewport,     glPushAttrib,   glPopAttrib,
    glGenLists,    glNewList,       glEndList,      glCallList,     glRasterPos2i,
    systemBitmapCharacter, glGetFloatv, glGetError, glFinish};

const GlApi kLayerGl = {
    "layer",         lfglMatrixMode,  lfglLoadIdentity, lfglPushMatrix,   lfglPopMatrix,
    lfglTranslatef,  lfglRotatef,     lfglScalef,       lfglOrtho,        lfgluPerspective,
    lfgluLookAt,     lfglBegin,       lfglEnd,          lfglVertex3fv,    lfglNormal3fv,
    lfglColor3f,     lfglColor4f,     lfglRectf,        lfglPointSize,    lfglEnable,
    lfglDisable,     lfglIsEnabled,   lfglLightfv,      lfglLightModelfv, lfglMaterialfv,
    lfglMaterialf,   lfglDepthMask,   lfglAlphaFunc,    lfglBlendFunc,    lfglPolygonMode,
    lfglClearColor,  lfglClear,       lfglViewport,     lfglPushAttrib,   lfglPopAttrib,
    lfglGenLists,    lfglNewList,     lfglEndList,      lfglCallList,     lfglRasterPos2i,
    lfglutBitmapCharacter, lfglGetFloatv, lfglGetError, lfglFinish};

bool Picture::isBackground(int x, int y) const {
    const unsigned char* p = at(x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

int Picture::countNonBackground() const {
    int n = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            n += !isBackground(x, y);
        }
    }
    return n;
}

Difference compare(const Picture& a, const Picture& b, int tolerance) {
    Difference d;
    double sum = 0;
    for (size_t p = 0; p < a.rgb.size(); p += 3) {
        int worst = 0;
        for (size_t c = 0; c < 3; ++c) {
            const int diff = std::abs(int(a.rgb[p + c]) - int(b.rgb[p + c]));
            worst = std::max(worst, diff);
            sum += diff;
        }
        d.largest = std::max(d.largest, worst);
        d.pixelsOver += worst > tolerance;
    }
    d.mean = sum / double(a.rgb.size());
    return d;
}

Picture render(const GlApi& gl, void (*scene)(const GlApi&)) {
    // The layer leaves its program and vertex array bound only while it draws; the system GL's
    // fixed function needs none bound.
    glUseProgram(0);
    glBindVertexArray(0);
    // Desktop state that also acts on the layer's draws but that ES (and so the layer) cannot
    // set: the system's scenes may have left it changed.
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_ALPHA_TEST);
    resetState(gl);
    scene(gl);
    gl.finish();
    Picture p;
    p.rgb.resize(size_t(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    return p;
}

void savePair(const std::string& name, const Picture& system, const Picture& layer) {
    const std::string path = std::string(LUMENFOLD_PICTURE_DIR) + "/weblayer-" + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return; // the pictures are for people; a missing folder is no test failure
    }
    std::fprintf(f, "P6\n%d %d\n255\n", 2 * kWidth, kHeight);
    for (int y = kHeight - 1; y >= 0; --y) {
        std::fwrite(system.at(0, y), 3, kWidth, f);
        std::fwrite(layer.at(0, y), 3, kWidth, f);
    }
    std::fclose(f);
}
