// The movie renderer: the same AnimateScene and frame drawing as the live show, into an
// offscreen framebuffer of the movie's size, on a clock driven by the frame number.
// The framebuffer functions are core OpenGL 3.0; Mesa's libGL exports them directly.
#define GL_GLEXT_PROTOTYPES
#include "basicsource/movie.h"

#include "basicsource/main.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int32_t gMovieNow = 0;
int32_t movieClock() { return gMovieNow; }

bool gEscapePressed = false;

void movieKeyPress(unsigned char key, int, int) {
    if (key == 27) {
        gEscapePressed = true;
    }
}
void movieClose() { gEscapePressed = true; }
void movieDisplay() {}
void movieReshape(int, int) {}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// An offscreen colour and depth buffer of the movie's size, whatever the window's size. With
// multisampling the picture is drawn into multisampled buffers and resolved into a plain one,
// which is what is read back and shown.
class offscreenFrame {
  public:
    offscreenFrame(int width, int height, int samples) : width(width), height(height) {
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
            glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[2]);
            glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24,
                                             width, height);
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[1]);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                      renderbuffers[1]);
        } else {
            glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[2]);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        }
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  renderbuffers[2]);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
    ~offscreenFrame() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(3, renderbuffers);
        glDeleteFramebuffers(2, framebuffers);
    }
    // Where the frame is drawn.
    void bind() { glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[multisampled ? 1 : 0]); }
    // Makes the drawn frame readable from name().
    void resolve() {
        if (multisampled) {
            glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers[1]);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffers[0]);
            glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT,
                              GL_NEAREST);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[0]);
    }
    GLuint name() const { return framebuffers[0]; }

  private:
    int width, height;
    bool multisampled = false;
    GLuint framebuffers[2] = {0, 0};
    GLuint renderbuffers[3] = {0, 0, 0};
};

// The frame just made, scaled into the window, with a progress bar and "frame N of M" over it.
void showProgress(const offscreenFrame& frame, int width, int height, int done, int total) {
    int windowWidth = glutGet(GLUT_WINDOW_WIDTH), windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frame.name());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);

    short savedWidth = gWindowWidth, savedHeight = gWindowHeight;
    gWindowWidth = short(windowWidth);
    gWindowHeight = short(windowHeight);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, windowWidth, 0, windowHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const float barWidth = float(windowWidth) - 40, filled = barWidth * float(done) / float(total);
    glColor3f(0.15f, 0.15f, 0.15f);
    glRectf(20, 20, 20 + barWidth, 32);
    glColor3f(0.95f, 0.65f, 0.35f);
    glRectf(20, 20, 20 + filled, 32);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    char text[64];
    std::snprintf(text, sizeof text, "frame %d of %d", done, total);
    DrawText(text, 20, 48);
    glPopAttrib();
    gWindowWidth = savedWidth;
    gWindowHeight = savedHeight;
    glutSwapBuffers();
}

} // namespace

void movieFrameRange(float from, float to, int fps, int& first, int& last) {
    // Times come as floats (20.4 is 20.3999996): a thousandth of a frame of slack.
    first = int(std::ceil(double(from) * fps - 1e-3));
    // The show ends at 130 s: there is nothing to film after it.
    last = int(std::floor(double(std::min(to, kShowLength)) * fps + 1e-3));
}

int maximumSamples() {
    GLint most = 1;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    return std::max(1, int(most));
}

movieReport renderShowMovie(const movieOptions& options, movieSink* sinkOverride) {
    movieReport report;
    const int fps = options.fps > 0 ? options.fps : 25;
    int first = 0, last = -1;
    movieFrameRange(options.from, options.to, fps, first, last);
    if (options.firstFrame >= 0 && options.lastFrame >= 0) {
        first = options.firstFrame;
        last = std::min(options.lastFrame, int(std::floor(double(kShowLength) * fps + 1e-3)));
    }
    report.firstFrame = first;
    report.lastFrame = last;
    if (last < first) {
        return report;
    }
    const int width = options.width, height = options.height;
    report.samples = std::clamp(options.samples, 1, maximumSamples());

    movieFormat format;
    format.width = width;
    format.height = height;
    format.fps = fps;
    format.crf = options.crf;
    format.firstFrame = first;
    format.chunkDirectory = options.chunkDirectory;
    format.from = float(first) / float(fps);
    format.to = float(last) / float(fps);
    format.soundtrack = options.soundtrack;
    format.output = options.output;
    std::unique_ptr<movieSink> ownSink;
    movieSink* sink = sinkOverride;
    if (!sink) {
        ownSink = openMovieSink(format);
        sink = ownSink.get();
    }
    if (!sink) {
        return report;
    }

    // A fresh cast: the movie always shows the show from its beginning, whatever ran before.
    rebuildCast();

    const ProgramMode mode = gProgramMode;
    const short savedWidth = gWindowWidth, savedHeight = gWindowHeight;
    if (options.showProgress) {
        gEscapePressed = false;
        glutKeyboardFunc(movieKeyPress);
        glutCloseFunc(movieClose);
        glutDisplayFunc(movieDisplay);
        glutReshapeFunc(movieReshape);
    }
    // Filmed at the show's own pace, whatever speed the player was set to.
    const double playerSpeed = animationSpeed();
    setClockSource(movieClock);
    gMovieNow = 0;
    setAnimationSpeed(1);
    resetAnimationTimer();

    offscreenFrame frame(width, height, report.samples);
    std::vector<unsigned char> pixels(size_t(width) * height * 3);
    char title[64] = "";
    const int total = last - first + 1;
    bool failed = false;
    for (int n = 0; n <= last; ++n) {
        gMovieNow = int32_t(std::llround(double(n) * 1000.0 / fps));
        auto renderStart = std::chrono::steady_clock::now();
        if (gProgramMode != kpmFinished) {
            AnimateScene();
        }
        if (n < first) {
            continue; // earlier frames are posed, not drawn: scenes build on what came before
        }
        if ((options.cancelRequested && options.cancelRequested()) || gEscapePressed) {
            report.cancelled = true;
            break;
        }
        gFrameCounter = n;
        frame.bind();
        gWindowWidth = short(width);
        gWindowHeight = short(height);
        glViewport(0, 0, width, height);
        renderFrame();
        report.renderSeconds += secondsSince(renderStart);

        auto readStart = std::chrono::steady_clock::now();
        frame.resolve();
        glReadBuffer(GL_COLOR_ATTACHMENT0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        report.readbackSeconds += secondsSince(readStart);

        auto encodeStart = std::chrono::steady_clock::now();
        if (!sink->writeFrame(pixels.data())) {
            failed = true;
            break;
        }
        report.encodeSeconds += secondsSince(encodeStart);
        ++report.frames;

        if (options.showProgress) {
            showProgress(frame, width, height, report.frames, total);
            char newTitle[64];
            std::snprintf(newTitle, sizeof newTitle, "Lumenfold - movie %d%%",
                          report.frames * 100 / total);
            if (std::strcmp(newTitle, title) != 0) {
                std::strcpy(title, newTitle);
                glutSetWindowTitle(title);
            }
            glutMainLoopEvent(); // Escape, window closing and redraws while the movie renders
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    if (report.cancelled || failed) {
        sink->cancel();
    } else {
        auto encodeStart = std::chrono::steady_clock::now();
        report.completed = sink->finish();
        report.encodeSeconds += secondsSince(encodeStart);
    }

    setClockSource(nullptr);
    setAnimationSpeed(playerSpeed);
    gWindowWidth = savedWidth;
    gWindowHeight = savedHeight;
    glViewport(0, 0, gWindowWidth, gWindowHeight);
    if (options.showProgress) {
        glutSetWindowTitle("Lumenfold");
        glutKeyboardFunc(KeyPress);
        glutCloseFunc(platformWindup);
        glutDisplayFunc(ViewScene);
        glutReshapeFunc(ResizeWindow);
    }
    if (gProgramMode != kpmFinished) {
        gProgramMode = mode;
    }
    return report;
}
