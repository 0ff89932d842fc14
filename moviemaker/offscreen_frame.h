// An offscreen colour and depth buffer of the movie's size, whatever the window's size (or
// with no window at all). With multisampling the picture is drawn into multisampled buffers and
// resolved into a plain one, which is what is read back and shown.
#pragma once

#include <GL/gl.h>

#include <string>

class offscreenFrame {
  public:
    offscreenFrame(int width, int height, int samples);
    ~offscreenFrame();
    offscreenFrame(const offscreenFrame&) = delete;
    offscreenFrame& operator=(const offscreenFrame&) = delete;

    // Empty when the frame can be drawn into; otherwise why the driver could not give it.
    const std::string& problem() const { return whyNot; }
    // The samples the driver gave (it may round a request up); 1 without multisampling.
    int samples() const { return samplesGot; }
    // Where the frame is drawn.
    void bind();
    // Makes the drawn frame readable from name() and reads it, rows bottom-up.
    void readInto(unsigned char* rgb);
    GLuint name() const { return framebuffers[0]; }

  private:
    void check(GLuint framebuffer);

    int width, height;
    bool multisampled = false;
    int samplesGot = 1;
    std::string whyNot;
    GLuint framebuffers[2] = {0, 0};
    GLuint renderbuffers[3] = {0, 0, 0};
};

// The most samples the driver offers for a multisampled frame, and the largest side of one.
int maximumSamples();
int maximumFrameSide();
