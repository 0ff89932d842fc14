// Rendering utilities: text overlay, diagnostics, degree trigonometry and eased motion.
#include "basicsource/utility.h"

#include "basicsource/program_state.h"
#include "basicsource/platform.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The frame-rate readout survives between frames: frames that do not refresh it draw it again.
char aChar[256];
float lastTime = 0;

const int kLineHeight = 12;

void drawGlutCharacter(unsigned char c) { glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c); }
void (*gDrawCharacter)(unsigned char) = drawGlutCharacter;

} // namespace

void setCharacterDrawer(void (*draw)(unsigned char)) {
    gDrawCharacter = draw ? draw : drawGlutCharacter;
}

void DrawText(const char* s, int x, int y) {
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // A zero-height window would make an empty orthographic volume, which GL refuses.
    glOrtho(0, gWindowWidth, 0, gWindowHeight > 0 ? gWindowHeight : 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(x + 1, y - 1);
    int line = 0;
    for (const char* c = s ? s : ""; *c;) {
        if (*c == '\n') {
            ++line;
            glRasterPos2i(x + 1, y - kLineHeight * line - 1);
        }
        gDrawCharacter(nextFontCharacter(c));
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}

unsigned char nextFontCharacter(const char*& s) {
    const auto byte = [&](int i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    // The length of the sequence `lead` starts, and the bits it gives.
    int length = 1;
    unsigned long code = lead;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
        code = lead & 0x1f;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        code = lead & 0x0f;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        code = lead & 0x07;
    }
    for (int i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80) { // cut short (the terminator included): not UTF-8
            ++s;
            return lead;
        }
        code = code << 6 | (byte(i) & 0x3f);
    }
    s += length;
    return code < 0x100 ? static_cast<unsigned char>(code) : '?';
}

void DrawFrameRate() {
    if (gProgramMode == kpmAnimating) {
        float currentTime = getAnimationTime();
        float deltaTime = currentTime - lastTime;
        lastTime = currentTime;
        // Two frames in the same millisecond have no rate to show, and the first frame after a
        // restart would show a negative one: both keep the previous readout.
        if (gFrameCounter % 20 == 0 && deltaTime > 0) {
            // Show seconds pass faster or slower than real ones at other playback speeds.
            std::snprintf(aChar, sizeof aChar, "Swaps/Sec: %3.1f", animationSpeed() / deltaTime);
        }
    } else {
        std::snprintf(aChar, sizeof aChar, "Swaps/Sec: 0.0");
    }
    DrawText(aChar, 10, 8);
}

const char* frameRateReadout() { return aChar; }

void formatCopyright(char* out, size_t size, const char* year, const char* rightsOwner,
                     const char* artist, const char* title) {
    std::snprintf(out, size, "\"%s\"  %s, (c) %s %s", title, artist, year, rightsOwner);
}

void ShowCopyright(const char* year, const char* rightsOwner, const char* artist,
                   const char* title) {
    char buffer[256] = {};
    formatCopyright(buffer, sizeof buffer, year, rightsOwner, artist, title);
    DrawText(buffer, 5, 50);
}

namespace {
void (*gFatalReporter)(const char*, const std::string&) = nullptr;
} // namespace

void setFatalReporter(void (*reporter)(const char* words, const std::string& file)) {
    gFatalReporter = reporter;
}

void fatal(const char* s) { fatalAbout(s, ""); }

void fatalAbout(const char* s, const std::string& file) {
    if (gFatalReporter) {
        gFatalReporter(s ? s : "", file);
    }
    std::fputs(s ? s : "", stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    std::exit(-1);
}

void openGLCheckError() {
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        const GLubyte* text = gluErrorString(error);
        fatal(text ? reinterpret_cast<const char*>(text) : "unknown OpenGL error");
    }
}

// The conversion is done in double precision with the single-precision constant.
float sin_d(float f) { return float(std::sin(double(f) / double(degPerRad))); }
float cos_d(float f) { return float(std::cos(double(f) / double(degPerRad))); }
float atan_d(float f) { return float(std::atan(double(f)) * double(degPerRad)); }

void ReduceToUnit(float* vector) {
    float length = float(
        std::sqrt(vector[0] * vector[0] + vector[1] * vector[1] + vector[2] * vector[2]));
    if (length == 0.0f) {
        length = 1.0f;
    }
    vector[0] /= length;
    vector[1] /= length;
    vector[2] /= length;
}

void calculateNormal(float* out, const float* va, const float* vb, const float* vc) {
    float v1[3] = {va[0] - vb[0], va[1] - vb[1], va[2] - vb[2]};
    float v2[3] = {vb[0] - vc[0], vb[1] - vc[1], vb[2] - vc[2]};
    out[0] = v1[1] * v2[2] - v1[2] * v2[1];
    out[1] = v1[2] * v2[0] - v1[0] * v2[2];
    out[2] = v1[0] * v2[1] - v1[1] * v2[0];
    ReduceToUnit(out);
}

float smoothAcceleration(float startTime, float rampDur, float cruiseDur, float initialVal,
                         float finalVal) {
    float t = getAnimationTime();
    float duration = rampDur + cruiseDur + rampDur;
    float distance = finalVal - initialVal;
    if (startTime >= t) {
        return initialVal;
    }
    if (t > startTime + duration) {
        return finalVal;
    }
    float acceleration =
        (distance + distance) / (2 * rampDur * rampDur + 2 * rampDur * cruiseDur);
    if (t <= startTime + rampDur) {
        float deltat = t - startTime;
        return initialVal + acceleration * 0.5f * deltat * deltat;
    }
    if (t <= startTime + rampDur + cruiseDur) {
        float deltat = t - (startTime + rampDur);
        float rampDistance = acceleration * 0.5f * rampDur * rampDur;
        return initialVal + rampDistance + rampDur * acceleration * deltat;
    }
    float deltat = (startTime + duration) - t;
    return finalVal - acceleration * 0.5f * deltat * deltat;
}

float speedUp(float startTime, float duration, float initialVal, float finalVal) {
    float t = getAnimationTime();
    if (startTime >= t) {
        return initialVal;
    }
    if (t > startTime + duration) {
        return finalVal;
    }
    float acceleration = 2 * (finalVal - initialVal) / (duration * duration);
    float deltat = t - startTime;
    return initialVal + acceleration * 0.5f * deltat * deltat;
}
