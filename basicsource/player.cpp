// The player's controls: jumps, steps, scenes, speed, looping, help, timeline and screenshots.
// A jump rebuilds and poses the cast through every earlier frame (poseShowAt), so the picture
// after it is the one the show has at that time, whatever was on screen before.
#include "basicsource/player.h"

#include "basicsource/frame_capture.h"
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const int64_t kFrameMilliseconds = 1000 / kPoseFramesPerSecond;
const double kJumpSeconds = 5;
const int kNoticeMilliseconds = 4000;
const char* const kScreenshotFolder = "screenshots";

bool gLooping = false;
bool gHelpShown = false;
std::string gNotice;
int gNoticeSerial = 0;

const char* const kHelpLines[] = {"Keys",
                                  "a          start the show from the beginning",
                                  "p          pause and resume",
                                  ", .        one frame back, forward",
                                  "< >        5 s back, forward",
                                  "PgUp PgDn  previous, next scene",
                                  "1 ... 5    scene 1 to 5; 6 the credits",
                                  "[ ]        slower, faster; Backspace 1x",
                                  "s          screenshot into screenshots/",
                                  "t          status line and timeline",
                                  "w          wireframe",
                                  "l r u d i o  move the camera",
                                  "arrows     move where it looks",
                                  "f          full screen",
                                  "m          render the movie",
                                  "h ?        this help",
                                  "Esc q      quit"};

double currentSeconds() { return double(getAnimationTime()); }

// The soundtrack, from the moment the picture shows, heard only while the show plays at 1x.
void followWithSound(int64_t showMilliseconds) {
    if (!sounds) {
        return;
    }
    if (gProgramMode == kpmFinished || gProgramMode == kpmAtStart) {
        stopMusic();
        return;
    }
    playSoundFileFrom(soundtrackFile().c_str(), double(showMilliseconds) / 1000,
                      gProgramMode != kpmAnimating);
}

void stepFrame(int direction) {
    if (gProgramMode == kpmAnimating) {
        KeyPress('p', 0, 0); // a step pauses the show, as p does
    }
    int64_t now = int64_t(std::llround(currentSeconds() * 1000));
    jumpTo(double(steppedFrameMilliseconds(now, direction)) / 1000);
}

void clearNotice(int serial) {
    if (serial == gNoticeSerial && !gNotice.empty()) {
        gNotice.clear();
        glutPostRedisplay();
    }
}

// Draws in window pixels, origin at the lower left, with the scene's state put aside.
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

// 0 to 130 s along the bottom edge, below the frame-rate readout: a mark at each change of
// scene and the current time.
void drawTimeline() {
    const float left = 10, right = float(gWindowWidth) - 10, width = right - left;
    if (width <= 0) {
        return;
    }
    auto xOf = [&](double seconds) { return left + float(seconds / kShowLength) * width; };
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
    const int lineHeight = 15, lines = int(sizeof kHelpLines / sizeof kHelpLines[0]);
    const int top = gWindowHeight - 18, bottom = top - lineHeight * (lines - 1);
    beginWindowPixels();
    glColor4f(0, 0, 0, 0.7f);
    glRectf(4, float(bottom - 6), 340, float(gWindowHeight - 4));
    endWindowPixels();
    for (int i = 0; i < lines; ++i) {
        DrawText(kHelpLines[i], 10, top - lineHeight * i);
    }
}

} // namespace

double nextSceneStart(double t) {
    for (double start : kSceneStarts) {
        if (start > t) {
            return start;
        }
    }
    return t;
}

double previousSceneStart(double t) {
    int current = 0;
    for (int i = 0; i < kSceneCount; ++i) {
        if (kSceneStarts[i] <= t) {
            current = i;
        }
    }
    return kSceneStarts[std::max(current - 1, 0)];
}

int64_t steppedFrameMilliseconds(int64_t showMilliseconds, int direction) {
    int64_t frame = showMilliseconds / kFrameMilliseconds;
    if (direction > 0) {
        ++frame;
    } else if (showMilliseconds % kFrameMilliseconds == 0) {
        --frame;
    }
    return std::clamp<int64_t>(frame * kFrameMilliseconds, 0, kShowLengthMilliseconds);
}

double fasterSpeed(double speed) {
    for (double s : kSpeeds) {
        if (s > speed * 1.0001) {
            return s;
        }
    }
    return std::max(speed, kSpeeds[kSpeedCount - 1]);
}

double slowerSpeed(double speed) {
    for (int i = kSpeedCount - 1; i >= 0; --i) {
        if (kSpeeds[i] < speed * 0.9999) {
            return kSpeeds[i];
        }
    }
    return std::min(speed, kSpeeds[0]);
}

std::string screenshotFileName(double seconds, int attempt) {
    char name[96];
    if (attempt > 1) {
        std::snprintf(name, sizeof name, "%s/lumenfold-%06.2fs-%d.png", kScreenshotFolder,
                      seconds, attempt);
    } else {
        std::snprintf(name, sizeof name, "%s/lumenfold-%06.2fs.png", kScreenshotFolder, seconds);
    }
    return name;
}

void jumpTo(double seconds) {
    if (gProgramMode == kpmMakingMovie) {
        return;
    }
    const bool keepPlaying = gProgramMode == kpmAnimating;
    const int64_t target = std::clamp<int64_t>(std::llround(seconds * 1000), 0,
                                               kShowLengthMilliseconds);
    poseShowAt(target);
    if (gProgramMode == kpmFinished) {
        setIdle(nullptr); // the end: frozen there, as when the show plays to it
    } else if (keepPlaying) {
        unpauseAnimationTimer();
        setIdle(NextFrame);
    } else {
        gProgramMode = kpmPaused;
        setIdle(nullptr);
    }
    followWithSound(target);
    glutPostRedisplay();
}

void setPlaybackSpeed(double speed) {
    setAnimationSpeed(speed);
    const bool normal = std::fabs(animationSpeed() - 1) < 1e-9;
    setMusicMuted(!normal);
    if (normal && gProgramMode == kpmAnimating && sounds) {
        followWithSound(animationTimeMilliseconds());
    }
    glutPostRedisplay();
}

void keepSoundInStep() {
    if (!sounds || gProgramMode != kpmAnimating || animationSpeed() != 1) {
        return;
    }
    const double heard = musicPlayedSeconds(), shown = currentSeconds();
    // The soundtrack fades out before the end; there is nothing to keep in step after it.
    if (heard >= 0 && shown < kShowLength - 1 && std::fabs(heard - shown) > kSoundSlack) {
        seekMusic(shown);
    }
}

void setLooping(bool loop) { gLooping = loop; }
bool looping() { return gLooping; }

bool restartIfLooping() {
    if (!gLooping) {
        return false;
    }
    gProgramMode = kpmAnimating;
    jumpTo(0);
    return true;
}

bool playerKeyPress(unsigned char key) {
    if (gProgramMode == kpmMakingMovie) {
        return false;
    }
    switch (key) {
    case ',':
    case '.':
        stepFrame(key == '.' ? 1 : -1);
        return true;
    case '<':
    case '>':
        jumpTo(currentSeconds() + (key == '>' ? kJumpSeconds : -kJumpSeconds));
        return true;
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
        jumpTo(kSceneStarts[key - '1']);
        return true;
    case '[':
        setPlaybackSpeed(slowerSpeed(animationSpeed()));
        return true;
    case ']':
        setPlaybackSpeed(fasterSpeed(animationSpeed()));
        return true;
    case 8: // Backspace
        setPlaybackSpeed(1);
        return true;
    case 'h':
    case '?':
        gHelpShown = !gHelpShown;
        glutPostRedisplay();
        return true;
    case 's':
        saveScreenshot();
        return true;
    default:
        return false;
    }
}

bool playerSpecialKeyPress(int key) {
    if (gProgramMode == kpmMakingMovie) {
        return false;
    }
    switch (key) {
    case GLUT_KEY_PAGE_UP:
        jumpTo(previousSceneStart(currentSeconds()));
        return true;
    case GLUT_KEY_PAGE_DOWN:
        jumpTo(nextSceneStart(currentSeconds()));
        return true;
    default:
        return false;
    }
}

void drawPlayerOverlays() {
    if (gTextOn) {
        drawTimeline();
    }
    if (gHelpShown) {
        drawHelp();
    }
}

bool helpShown() { return gHelpShown; }

void showNotice(const std::string& text) {
    gNotice = text;
    glutTimerFunc(kNoticeMilliseconds, clearNotice, ++gNoticeSerial);
    glutPostRedisplay();
}

const std::string& currentNotice() { return gNotice; }

std::string saveScreenshot() {
    const double seconds = currentSeconds();
    renderShowFrame(false);
    picture shot = readBackBuffer(gWindowWidth, gWindowHeight);
    glutPostRedisplay(); // the window gets its overlays back with the next frame

    std::string name;
    for (int attempt = 1; attempt < 1000 && name.empty(); ++attempt) {
        std::string candidate = screenshotFileName(seconds, attempt);
        if (!pathExists(candidate)) {
            name = candidate;
        }
    }
    // Written under a hidden name and renamed, so a failed write leaves no broken picture.
    const std::string partial = std::string(kScreenshotFolder) + "/.lumenfold-screenshot.partial";
    if (name.empty() || !makeDirectories(kScreenshotFolder) || !savePng(shot, partial) ||
        std::rename(partial.c_str(), name.c_str()) != 0) {
        std::remove(partial.c_str());
        showNotice("Cannot write the screenshot into " + std::string(kScreenshotFolder) + "/");
        return "";
    }
    showNotice("Saved " + name);
    return name;
}
