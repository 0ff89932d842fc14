// The movie made from the window: the same file lumenfold-movie makes, since frames are drawn
// without overlays and keys other than Escape do nothing while it renders. Progress is drawn
// into the window only, never into the movie's frames.
#define GL_GLEXT_PROTOTYPES
#include "moviemaker/movie_window.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/utility.h"
#include "moviemaker/movie.h"
#include "moviemaker/processes.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kFailureNoticeMilliseconds = 8000;

bool gCancelled = false;
int gPercentShown = -1;
std::string gFailureNotice;

void movieKeyPress(unsigned char key, int, int) {
    if (key == kEscape) {
        gCancelled = true;
    }
}
void movieSpecialKeyPress(int, int, int) {}
void movieClose() { gCancelled = true; }
void movieDisplay() {}
void movieReshape(int, int) {}

// Closing the window, like Escape, cancels the movie: GLUT must then carry on (not end the
// program at once) so that the partial movie is removed before the program ends.
void installMovieCallbacks() {
    glutKeyboardFunc(movieKeyPress);
    glutSpecialFunc(movieSpecialKeyPress);
    glutCloseFunc(movieClose);
    glutDisplayFunc(movieDisplay);
    glutReshapeFunc(movieReshape);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
}

// Clears the failure's notice unless another notice has taken its place meanwhile.
void clearFailureNotice(int) {
    if (gFailureNotice == statusNotice()) {
        setStatusNotice("");
        glutPostRedisplay();
    }
}

void drawProgressBar(int windowWidth, int windowHeight, int done, int total) {
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
    glPopAttrib();
}

// The frame just made, scaled into the window, with a progress bar and "frame N of M" over it;
// the title shows the percentage. Then the window's events: Escape, closing, exposure.
void showProgress(unsigned framebuffer, int width, int height, int done, int total) {
    if (glutGetWindow() == 0) {
        return; // closed: the render stops before the next frame
    }
    const int windowWidth = glutGet(GLUT_WINDOW_WIDTH), windowHeight = glutGet(GLUT_WINDOW_HEIGHT);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glBlitFramebuffer(0, 0, width, height, 0, 0, windowWidth, windowHeight, GL_COLOR_BUFFER_BIT,
                      GL_LINEAR);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, windowWidth, windowHeight);

    const short movieWidth = gWindowWidth, movieHeight = gWindowHeight;
    gWindowWidth = short(windowWidth); // DrawText places text by the window's size
    gWindowHeight = short(windowHeight);
    drawProgressBar(windowWidth, windowHeight, done, total);
    char text[64];
    std::snprintf(text, sizeof text, "frame %d of %d", done, total);
    DrawText(text, 20, 48);
    glEnable(GL_DEPTH_TEST);
    gWindowWidth = movieWidth;
    gWindowHeight = movieHeight;
    glutSwapBuffers();

    const int percent = done * 100 / total;
    if (percent != gPercentShown) {
        gPercentShown = percent;
        char title[64];
        std::snprintf(title, sizeof title, "%s - movie %d%%", kShowTitle, percent);
        glutSetWindowTitle(title);
    }
    glutMainLoopEvent();
}

} // namespace

movieReport renderMovieInWindow(const movieSettings& settings, movieSink* sink) {
    gCancelled = false;
    gPercentShown = -1;
    installMovieCallbacks();
    // Ctrl-C or a kill while the movie renders stops it cleanly (and then ends the program).
    catchStopSignals();
    movieHooks hooks;
    hooks.cancelRequested = [] { return gCancelled || stopRequested() || glutGetWindow() == 0; };
    hooks.frameDone = showProgress;
    movieReport report = renderShowMovie(settings, sink, hooks);
    report.cancelled = report.cancelled || stopRequested();
    releaseStopSignals();
    if (glutGetWindow() == 0) {
        return report; // the window was closed: nothing more to show in it
    }
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_EXIT);
    glutSetWindowTitle(kShowTitle);
    if (!report.completed && !report.cancelled) {
        std::fprintf(stderr, "lumenfold: the movie could not be written to %s: %s\n",
                     settings.output.c_str(), report.error.c_str());
        gFailureNotice = "No movie: " + report.error.substr(0, report.error.find('\n'));
        setStatusNotice(gFailureNotice.c_str());
        glutTimerFunc(kFailureNoticeMilliseconds, clearFailureNotice, 0);
    }
    return report;
}

bool renderMovieInWindow() {
    movieSettings settings;
    settings.soundtrack = soundtrackFile();
    return !renderMovieInWindow(settings).cancelled;
}
