// The browser check's scenes. Vertex data is made once; each frame sends it again through
// immediate mode, as the show does.
#include "scenes.h"

#include <GL/glut.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

const float kPi = 3.14159265f;

struct Face {
    float normal[3];
    std::vector<float> corners; // 3 or 4 corners, xyz each
};

struct Block {
    float position[3];
    float angles[3];
    float colour[4];
    bool spins;
};

void addFace(std::vector<Face>& faces, const float* a, const float* b, const float* c,
             const float* d) {
    Face f;
    const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (int i = 0; i < 3; ++i) {
        f.normal[i] = n[i] / length;
    }
    for (const float* p : {a, b, c, d}) {
        if (p) {
            f.corners.insert(f.corners.end(), p, p + 3);
        }
    }
    faces.push_back(f);
}

// A triangular block: top and bottom each 4 triangles, the three sides 14 quads in all.
const std::vector<Face>& blockFaces() {
    static std::vector<Face> faces;
    if (!faces.empty()) {
        return faces;
    }
    const float r = 0.5f, h = 0.15f;
    float top[3][3], bottom[3][3];
    for (int k = 0; k < 3; ++k) {
        const float a = 2 * kPi * float(k) / 3;
        const float p[3] = {r * std::cos(a), h, -r * std::sin(a)};
        for (int i = 0; i < 3; ++i) {
            top[k][i] = p[i];
            bottom[k][i] = i == 1 ? -h : p[i];
        }
    }
    auto mid = [](const float* a, const float* b, float* out) {
        for (int i = 0; i < 3; ++i) {
            out[i] = (a[i] + b[i]) / 2;
        }
    };
    for (auto* cap : {top, bottom}) {
        float m01[3], m12[3], m20[3];
        mid(cap[0], cap[1], m01);
        mid(cap[1], cap[2], m12);
        mid(cap[2], cap[0], m20);
        const bool up = cap == top; // counter-clockwise seen from outside
        const float* tris[4][3] = {{cap[0], m01, m20}, {m01, cap[1], m12}, {m20, m12, cap[2]},
                                   {m01, m12, m20}};
        for (auto& t : tris) {
            addFace(faces, up ? t[0] : t[2], t[1], up ? t[2] : t[0], nullptr);
        }
    }
    const int columns[3] = {5, 5, 4};
    for (int side = 0; side < 3; ++side) {
        const float* a = top[side];
        const float* b = top[(side + 1) % 3];
        for (int c = 0; c < columns[side]; ++c) {
            const float s0 = float(c) / float(columns[side]), s1 = float(c + 1) / float(columns[side]);
            float p[4][3];
            for (int i = 0; i < 3; ++i) {
                p[0][i] = a[i] + (b[i] - a[i]) * s0;
                p[1][i] = a[i] + (b[i] - a[i]) * s1;
                p[2][i] = p[1][i];
                p[3][i] = p[0][i];
            }
            p[0][1] = p[1][1] = -h;
            p[2][1] = p[3][1] = h;
            addFace(faces, p[0], p[1], p[2], p[3]);
        }
    }
    return faces;
}

// 460 blocks on two domes, a few spinning, one translucent.
const std::vector<Block>& blocks() {
    static std::vector<Block> all;
    if (!all.empty()) {
        return all;
    }
    for (int i = 0; i < 460; ++i) {
        const int dome = i % 2;
        const int k = i / 2;
        const float around = 2 * kPi * float(k % 23) / 23;
        const float up = kPi / 2 * float(k / 23) / 10;
        const float radius = 6;
        Block b;
        b.position[0] = (dome ? 9 : -9) + radius * std::cos(up) * std::cos(around);
        b.position[1] = radius * std::sin(up);
        b.position[2] = -12 + radius * std::cos(up) * std::sin(around);
        b.angles[0] = 90 - up * 180 / kPi;
        b.angles[1] = -around * 180 / kPi;
        b.angles[2] = 0;
        const float shade = 0.5f + 0.5f * float(k % 7) / 7;
        b.colour[0] = dome ? shade : 0.9f;
        b.colour[1] = 0.6f;
        b.colour[2] = dome ? 0.9f : shade;
        b.colour[3] = i == 459 ? 0.5f : 1;
        b.spins = i % 80 == 0;
        all.push_back(b);
    }
    return all;
}

float groundHeight(int r, int c) {
    return 1.5f * std::sin(float(r) * 0.11f) * std::cos(float(c) * 0.07f) +
           0.4f * std::sin(float(r + c) * 0.31f) - 3;
}

struct GroundVertex {
    float position[3];
    float normal[3];
};

const std::vector<GroundVertex>& ground() {
    static std::vector<GroundVertex> grid;
    if (!grid.empty()) {
        return grid;
    }
    const int n = 181;
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            GroundVertex v;
            v.position[0] = float(c - n / 2);
            v.position[1] = groundHeight(r, c);
            v.position[2] = float(n / 2 - r);
            const float dx = (groundHeight(r, c + 1) - groundHeight(r, c - 1)) / 2;
            const float dz = (groundHeight(r - 1, c) - groundHeight(r + 1, c)) / 2;
            const float length = std::sqrt(dx * dx + 1 + dz * dz);
            v.normal[0] = -dx / length;
            v.normal[1] = 1 / length;
            v.normal[2] = -dz / length;
            grid.push_back(v);
        }
    }
    return grid;
}

void material(const float* diffuse, float specular, float shininess) {
    const float s[4] = {specular, specular, specular, 1};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, s);
    glMaterialf(GL_FRONT, GL_SHININESS, shininess);
}

void drawGround() {
    const std::vector<GroundVertex>& g = ground();
    const int n = 181;
    for (int r = 0; r < n - 1; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int c = 0; c < n; ++c) {
            const GroundVertex& next = g[size_t((r + 1) * n + c)];
            const GroundVertex& here = g[size_t(r * n + c)];
            glNormal3fv(next.normal);
            glVertex3fv(next.position);
            glNormal3fv(here.normal);
            glVertex3fv(here.position);
        }
        glEnd();
    }
}

void drawBlock(const Block& b, double seconds, bool translucentPass) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glLoadIdentity();
    glTranslatef(b.position[0], b.position[1], b.position[2]);
    glRotatef(b.angles[1], 0, 1, 0);
    glRotatef(b.angles[0], 1, 0, 0);
    if (b.spins) {
        glRotatef(float(seconds * 90), 0, 1, 0);
    }
    glScalef(1.2f, 1.2f, 1.2f);
    material(b.colour, 0.5f, 20);
    if ((b.colour[3] < 1) == translucentPass) {
        for (const Face& f : blockFaces()) {
            glBegin(f.corners.size() == 9 ? GL_TRIANGLES : GL_QUADS);
            glNormal3fv(f.normal);
            for (size_t i = 0; i < f.corners.size(); i += 3) {
                glVertex3fv(&f.corners[i]);
            }
            glEnd();
        }
    }
    glPopAttrib();
}

void lights(double seconds, bool lit) {
    if (lit) {
        glEnable(GL_LIGHTING);
    }
    glEnable(GL_NORMALIZE);
    const float ambient[4] = {0.5f, 0.5f, 0.5f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    for (int i = 0; i < 4; ++i) {
        const GLenum light = GLenum(GL_LIGHT1 + i);
        const float a = float(seconds) * 0.7f + float(i) * kPi / 2;
        const float position[4] = {20 * std::cos(a), 8 + 2 * float(i), 20 * std::sin(a) - 5, 1};
        const float diffuse[4] = {0.7f, 0.7f - 0.1f * float(i), 0.6f + 0.1f * float(i), 1};
        const float specular[4] = {0.5f, 0.5f, 0.5f, 1};
        glEnable(light);
        glLoadIdentity();
        glLightfv(light, GL_POSITION, position);
        glLightfv(light, GL_DIFFUSE, diffuse);
        glLightfv(light, GL_SPECULAR, specular);
    }
}

void camera(float eyeX, float eyeY, float eyeZ, float atY) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, double(kSceneWidth) / kSceneHeight, 0.1, 500);
    gluLookAt(eyeX, eyeY, eyeZ, 0, atY, -10, 0, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void text(const char* s, int x, int y) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kSceneWidth, 0, kSceneHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glRasterPos2i(x, y);
    for (const char* c = s; *c; ++c) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, *c);
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

void timelineBar(double seconds) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kSceneWidth, 0, kSceneHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(0.3f, 0.3f, 0.3f, 0.8f);
    glRectf(10, 1, 710, 4);
    glColor4f(0.95f, 0.65f, 0.35f, 0.9f);
    glRectf(10, 1, 10 + float(std::fmod(seconds, 10.0) * 70), 4);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

} // namespace

void drawShowLoad(double seconds, bool lit) {
    glViewport(0, 0, kSceneWidth, kSceneHeight);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const float a = float(seconds) * 0.2f;
    camera(25 * std::sin(a), 9, 25 * std::cos(a) - 10, 0);
    lights(seconds, lit);
    const float green[4] = {0, 1, 0, 1};
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glLoadIdentity();
    material(green, 0.5f, 10);
    drawGround();
    glPopAttrib();
    for (const Block& b : blocks()) {
        drawBlock(b, seconds, false);
    }
    glDepthMask(GL_FALSE);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushAttrib(GL_ALL_ATTRIB_BITS); // the ground's object in the second pass
    glPopAttrib();
    for (const Block& b : blocks()) {
        drawBlock(b, seconds, true);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    text("Frame: 2100, Polygons: 75040, Time: 84.0", 11, 19);
    text("Swaps/Sec: 25.0", 11, 7);
    timelineBar(seconds);
}

void drawTestScene() {
    drawShowLoad(3.0, true);
    // Wireframe over part of it, and a line of every printable character.
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 0.2f);
    glLoadIdentity();
    glTranslatef(0, 4, -2);
    glRotatef(30, 1, 1, 0);
    glScalef(3, 3, 3);
    for (const Face& f : blockFaces()) {
        glBegin(f.corners.size() == 9 ? GL_TRIANGLES : GL_QUADS);
        for (size_t i = 0; i < f.corners.size(); i += 3) {
            glVertex3fv(&f.corners[i]);
        }
        glEnd();
    }
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    char line[100];
    int n = 0;
    for (int c = 32; c < 127 && n < 88; ++c) {
        line[n++] = char(c);
    }
    line[n] = 0;
    text(line, 4, kSceneHeight - 16);
}
