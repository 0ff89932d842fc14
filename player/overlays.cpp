// The player's overlays, drawn in window pixels after the show's own overlays and never into a
// screenshot or a movie (those frames are drawn without overlays).
#include "player/overlays.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"
#include "player/control_strip.h"
#include "player/playback.h"
#include "player/pointer.h"
#include "player/screenshot.h"

#include <GL/freeglut.h>

#include <algorithm>

namespace {

const int kNoticeMilliseconds = 4000;

bool gHelpShown = false;
int gNoticeSerial = 0;

const char* const kMovieKeyLine = "m          render the movie";
const char* const kNoMovieKeyLine = "m          how movies are made";
const char* const kScreenshotKeyLine = "s          screenshot"; // and where it goes

const char* const kHelpLines[] = {"Keys",
                                  "a          start the show from the beginning",
                                  "p          pause and resume",
                                  ", .        one frame back, forward",
                                  "< >        5 s back, forward",
                                  "PgUp PgDn  previous, next scene",
                                  "1 ... 5    scene 1 to 5; 6 the credits",
                                  "[ ]        slower, faster; Backspace 1x",
                                  kScreenshotKeyLine,
                                  "t          status line and timeline",
                                  "w          wireframe",
                                  "l r u d i o  move the camera",
                                  "arrows     move where it looks",
                                  "f F11      full screen on and off",
                                  kMovieKeyLine,
                                  "h ?        this help",
                                  "Esc q      quit (in full screen too)",
                                  "Mouse",
                                  "click      start; then pause and resume",
                                  "2 clicks   full screen on and off",
                                  "move       controls along the bottom",
                                  "timeline   click, drag; wheel 5 s"};

// A program built without the movie maker (the browser's) only says where movies come from;
// the browser's screenshots are downloads.
const char* shownLine(const char* line) {
    if (line == kScreenshotKeyLine) {
        static const std::string withPlace = std::string(line) + " " + screenshotDestination();
        return withPlace.c_str();
    }
    return line == kMovieKeyLine && !movieRendererInstalled() ? kNoMovieKeyLine : line;
}

void clearNotice(int serial) {
    if (serial == gNoticeSerial && *statusNotice()) {
        setStatusNotice("");
        glutPostRedisplay();
    }
}

// The whole show along the bottom edge, below the frame-rate readout: a mark at each change of
// scene and the current time. Shown with the status line.
void drawTimeline() {
    const timelineSpan span = timelineSpanFor(gWindowWidth);
    const float left = span.left, right = span.right;
    if (!gTextOn || right <= left) {
        return;
    }
    auto xOf = [&](double seconds) { return timelineX(span, seconds); };
    beginWindowPixels();
    glColor4f(0.3f, 0.3f, 0.3f, 0.8f);
    glRectf(left, 1, right, 4);
    glColor4f(0.95f, 0.65f, 0.35f, 0.9f);
    glRectf(left, 1, xOf(currentSeconds()), 4);
    glColor4f(0.8f, 0.8f, 0.8f, 1.0f);
    for (double start : kSceneStarts) {
        glRectf(xOf(start) - 1, 0, xOf(start) + 1, 5);
    }
    float now = xOf(currentSeconds());
    glColor4f(1, 1, 1, 1);
    glRectf(now - 1.5f, 0, now + 1.5f, 6);
    endWindowPixels();
}

void drawHelp() {
    if (!gHelpShown) {
        return;
    }
    const int lineHeight = 15, lines = int(sizeof kHelpLines / sizeof kHelpLines[0]);
    const int top = gWindowHeight - 18, bottom = top - lineHeight * (lines - 1);
    beginWindowPixels();
    glColor4f(0, 0, 0, 0.7f);
    glRectf(4, float(bottom - 6), 340, float(gWindowHeight - 4));
    endWindowPixels();
    for (int i = 0; i < lines; ++i) {
        DrawText(shownLine(kHelpLines[i]), 10, top - lineHeight * i);
    }
}

} // namespace

void beginWindowPixels() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, std::max<short>(gWindowWidth, 1), 0, std::max<short>(gWindowHeight, 1), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void endWindowPixels() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

std::vector<std::string> helpLines() {
    std::vector<std::string> lines;
    for (const char* line : kHelpLines) {
        lines.push_back(shownLine(line));
    }
    return lines;
}

void installPlayerOverlays() {
    addOverlay(drawTimeline);
    addOverlay(drawControlStrip);
    addOverlay(drawHelp);
    // Why the soundtrack is silent, when the platform's sound says so, on the status line.
    setSoundProblemHook(showNotice);
}

void toggleHelp() {
    gHelpShown = !gHelpShown;
    glutPostRedisplay();
}

// The movie maker is built for Linux only: neither the Windows program nor the page has it.
const char* const kNoMovieMakerNotice =
    "Movies are made by lumenfold-movie, a Linux program not in this release";

void showNotice(const std::string& text) {
    setStatusNotice(text.c_str());
    glutTimerFunc(kNoticeMilliseconds, clearNotice, ++gNoticeSerial);
    glutPostRedisplay();
}

std::string currentNotice() { return statusNotice(); }
