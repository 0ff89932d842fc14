// The movie's offscreen frame. The framebuffer functions are core OpenGL 3.0; Mesa's libGL
// exports them directly. A frame the driver cannot complete is refused here, so a movie is
// never made of black pictures.
#define GL_GLEXT_PROTOTYPES
#include "moviemaker/offscreen_frame.h"

#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

offscreenFrame::offscreenFrame(int width, int height, int samples) : width(width), height(height) {
    if (width > maximumFrameSide() || height > maximumFrameSide()) {
        whyNot = "the driver draws frames of at most " + std::to_string(maximumFrameSide()) +
                 " pixels a side";
        return;
    }
    glGenFramebuffers(2, framebuffers);
    glGenRenderbuffers(3, renderbuffers);
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[0]);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                              renderbuffers[0]);
    multisampled = samples > 1;
    if (multisampled) {
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
        GLint got = 0;
        glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &got);
        samplesGot = std::max(1, int(got));
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[2]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, width,
                                         height);
        check(framebuffers[0]);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffers[1]);
    } else {
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[2]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    }
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              renderbuffers[2]);
    check(framebuffers[multisampled ? 1 : 0]);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!whyNot.empty()) {
        while (glGetError() != GL_NO_ERROR) {
        } // the refused storage's errors are told in whyNot, not left for the next caller
    }
}

offscreenFrame::~offscreenFrame() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(3, renderbuffers);
    glDeleteFramebuffers(2, framebuffers);
}

void offscreenFrame::check(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE && whyNot.empty()) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the driver cannot give a %dx%d frame%s (framebuffer status 0x%04x)", width,
                      height, multisampled ? " with that many samples" : "", unsigned(status));
        whyNot = text;
    }
}

void offscreenFrame::bind() { glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[multisampled ? 1 : 0]); }

void offscreenFrame::readInto(unsigned char* rgb) {
    if (multisampled) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[1]);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[0]);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                          GL_NEAREST);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[0]);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb);
}

int maximumSamples() {
    GLint most = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    return std::max(1, int(most));
}

int maximumFrameSide() {
    GLint most = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &most);
    return int(most);
}
