// Program entry, the program mode and the frame loop: start-up, the idle, display and reshape
// callbacks, the keyboard, and the program-wide variables the other units read and write.
#include "basicsource/main.h"

#include "basicsource/options.h"
#include "basicsource/platform.h"
#include "basicsource/player.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

ProgramMode gProgramMode = kpmAtStart;
long gFrameCounter = 0;
uint32_t gPolygonCount = 0;
short gWindowWidth = 0;
short gWindowHeight = 0;
bool gWireFrameOnly = false;
bool gTextOn = false;
int sounds = 1;
std::vector<object3D*> shapeVector;
// Built before main in this order: OpenGL lights 1 to 4 (GL_LIGHT0 is not used).
light light1(1);
light light2(2);
light light3(3);
light light4(4);
cameraClass camera;

const char* const kSoundtrackFile = "resources/Sonavel.wav";

namespace {

const GLfloat ambientLight[] = {0.5f, 0.5f, 0.5f, 1.0f};
const double kFieldOfView = 45.0;
const double kNearPlane = 0.1;
const double kFarPlane = 500.0;

// The credits line drawn from 120 s of show time on.
char kCreditsYear[] = "2026";
char kCreditsRightsOwner[] = "the Lumenfold team";
char kCreditsArtist[] = "Lumenfold Studio";
char kTitle[] = "Lumenfold";
const float kCreditsFrom = 120.0f;

void setPerspective() {
    glLoadIdentity();
    gluPerspective(kFieldOfView, windowAspectRatio(), kNearPlane, kFarPlane);
}

bool gIdleInstalled = false;

// Window sizes beyond what a short holds are kept at its largest value rather than wrapping
// to a negative size.
short toWindowSize(int pixels) { return short(std::clamp(pixels, 0, 32767)); }

} // namespace

bool idleCallbackInstalled() { return gIdleInstalled; }

void setIdle(void (*callback)()) {
    glutIdleFunc(callback);
    gIdleInstalled = callback != nullptr;
}

std::string soundtrackFile() { return resourceFile("Sonavel.wav"); }

void formatStatusLine(char* out, size_t size) {
    int written = std::snprintf(out, size, "Frame: %ld, Polygons: %ld, Time: %0.1f",
                                gFrameCounter, long(gPolygonCount), double(getAnimationTime()));
    const double speed = animationSpeed();
    if (speed != 1 && written >= 0 && size_t(written) < size) {
        std::snprintf(out + written, size - size_t(written), ", Speed: %gx", speed);
    }
}

float windowAspectRatio() {
    return float(gWindowWidth) / float(std::max<short>(gWindowHeight, 1));
}

void NextFrame() {
    if (gProgramMode == kpmAnimating) {
        AnimateScene();
        ViewScene();
        keepSoundInStep();
    } else if (gProgramMode == kpmFinished) {
        if (restartIfLooping()) {
            return;
        }
        setIdle(nullptr);
        pauseAnimationTimer();
        stopMusic();
    }
}

void ViewScene() {
    renderFrame();
    glutSwapBuffers();
}

void renderFrame() { renderShowFrame(true); }

void renderShowFrame(bool overlays) {
    gPolygonCount = 0;
    if (gProgramMode == kpmAnimating) {
        gFrameCounter++;
    }

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, gWireFrameOnly ? GL_LINE : GL_FILL);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // The camera's view transform goes on the projection matrix, so that every object is drawn
    // from an identity model-view matrix and lighting is computed in world coordinates.
    glMatrixMode(GL_PROJECTION);
    setPerspective();
    camera.tellGL();

    glMatrixMode(GL_MODELVIEW);
    if (kUseLighting) {
        glEnable(GL_LIGHTING);
    }
    glEnable(GL_NORMALIZE);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientLight);
    glLoadIdentity();
    light1.tellGL();
    light2.tellGL();
    light3.tellGL();
    light4.tellGL();

    for (object3D* shape : shapeVector) {
        shape->draw(kDrawOpaque);
    }
    // Translucent objects are drawn after the opaque ones, unsorted, over a read-only depth
    // buffer; the alpha test stays on for the rest of the frame and the next one.
    glDepthMask(GL_FALSE);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (object3D* shape : shapeVector) {
        shape->draw(kDrawTranslucent);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);

    if (overlays && gTextOn) {
        char tempStr[96];
        formatStatusLine(tempStr, sizeof tempStr);
        // A notice (where a screenshot went) takes the status line's place for a while.
        DrawText(currentNotice().empty() ? tempStr : currentNotice().c_str(), 10, 20);
        DrawFrameRate();
    } else if (overlays && !currentNotice().empty()) {
        DrawText(currentNotice().c_str(), 10, 20);
    }
    if (getAnimationTime() >= kCreditsFrom) {
        ShowCopyright(kCreditsYear, kCreditsRightsOwner, kCreditsArtist, kTitle);
    }
    if (overlays) {
        drawPlayerOverlays();
    }
}

void ResizeWindow(int w, int h) {
    gWindowWidth = toWindowSize(w);
    gWindowHeight = toWindowSize(h);
    glMatrixMode(GL_PROJECTION);
    setPerspective();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glViewport(0, 0, gWindowWidth, gWindowHeight);
    if (gProgramMode == kpmAnimating) {
        AnimateScene();
    }
}

void KeyPress(unsigned char key, int, int) {
    switch (key) {
    case 'a':
        InitScene();
        gFrameCounter = 0;
        resetAnimationTimer();
        gProgramMode = kpmAnimating;
        setIdle(NextFrame);
        if (sounds) {
            playSoundFile(soundtrackFile().c_str());
        }
        break;
    case 'p':
        if (gProgramMode == kpmAnimating) {
            gProgramMode = kpmPaused;
            pauseAnimationTimer();
            pauseMusic();
            setIdle(nullptr);
        } else if (gProgramMode == kpmPaused) {
            gProgramMode = kpmAnimating;
            unpauseAnimationTimer();
            unpauseMusic();
            setIdle(NextFrame);
        }
        break;
    case 'm':
        InitScene();
        gFrameCounter = 0;
        gProgramMode = kpmMakingMovie;
        resetAnimationTimer();
        RenderMovie();
        gProgramMode = kpmFinished;
        break;
    case 'f':
        glutFullScreen();
        break;
    case 't':
        gTextOn = !gTextOn;
        glutPostRedisplay();
        break;
    case 'w':
        gWireFrameOnly = !gWireFrameOnly;
        glutPostRedisplay();
        break;
    case 'l':
        camera.moveBy(-1, 0, 0);
        glutPostRedisplay();
        break;
    case 'r':
        camera.moveBy(1, 0, 0);
        glutPostRedisplay();
        break;
    case 'u':
        camera.moveBy(0, 1, 0);
        glutPostRedisplay();
        break;
    case 'd':
        camera.moveBy(0, -1, 0);
        glutPostRedisplay();
        break;
    case 'i':
        camera.moveBy(0, 0, -1);
        glutPostRedisplay();
        break;
    case 'o':
        camera.moveBy(0, 0, 1);
        glutPostRedisplay();
        break;
    case 27:
    case 'q':
        platformWindup();
        std::exit(0);
    default:
        playerKeyPress(key);
        break;
    }
}

void SpecialKeyPress(int key, int, int) {
    switch (key) {
    case GLUT_KEY_LEFT:
        camera.moveTargetBy(-1, 0, 0);
        break;
    case GLUT_KEY_UP:
        camera.moveTargetBy(0, 1, 0);
        break;
    case GLUT_KEY_RIGHT:
        camera.moveTargetBy(1, 0, 0);
        break;
    case GLUT_KEY_DOWN:
        camera.moveTargetBy(0, -1, 0);
        break;
    default:
        playerSpecialKeyPress(key);
        return;
    }
    glutPostRedisplay();
}

void applyLaunchOptions(const launchOptions& options) {
    if (options.speed != 1) {
        setPlaybackSpeed(options.speed);
    }
    if (options.fullscreen) {
        glutFullScreen();
    }
    if (options.hasStart) {
        // Playing, a jump keeps playing; from the opening screen it lands paused.
        gProgramMode = options.paused ? kpmAtStart : kpmAnimating;
        jumpTo(options.start);
    }
}

int openShowWindow(const char* title, int samples) {
    gWindowWidth = kWindowWidth;
    gWindowHeight = kWindowHeight;
    glutInitWindowSize(gWindowWidth, gWindowHeight);
    glutInitWindowPosition(100, 100);
    // The most samples up to those asked for that the display offers; none when it offers none.
    for (; samples > 1; samples /= 2) {
        char mode[64];
        std::snprintf(mode, sizeof mode, "double rgb depth>=16 samples>=%d", samples);
        glutInitDisplayString(mode);
        if (glutGet(GLUT_DISPLAY_MODE_POSSIBLE)) {
            break;
        }
    }
    if (samples <= 1) {
        samples = 1;
        glutInitDisplayString("double rgb depth>=16");
    }
    glutCreateWindow(title);
    // What the window got, which a lenient match may make fewer than asked.
    GLint got = 1;
    glGetIntegerv(GL_SAMPLES, &got);
    return samples > 1 ? std::max(1, int(got)) : 1;
}

int lumenfoldMain(int argc, char** argv) {
    launchOptions options;
    parseResult parsed = parseLaunchOptions(argc, argv, options);
    if (!parsed.ok) {
        std::fprintf(stderr, "lumenfold: %s\n%s", parsed.error.c_str(), launchUsage().c_str());
        return 2;
    }
    if (options.help || options.version) {
        std::fputs(options.help ? launchUsage().c_str() : (launchVersion() + "\n").c_str(),
                   stdout);
        return 0;
    }
    sounds = options.mute ? 0 : 1;
    setLooping(options.loop);

    platformInitialise();
    glutInit(&argc, argv);
    const int samples = openShowWindow(kTitle, options.samples);
    if (samples < options.samples) {
        std::fprintf(stderr, "lumenfold: the display offers at most %d samples; using %d\n",
                     samples, samples);
    }
    glutDisplayFunc(ViewScene);
    glutKeyboardFunc(KeyPress);
    glutSpecialFunc(SpecialKeyPress);
    setIdle(nullptr);
    glutReshapeFunc(ResizeWindow);
    // Closing the window from the window manager winds the platform down like `q` does.
    glutCloseFunc(platformWindup);
    ConstructScene();
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
    applyLaunchOptions(options);
    glutMainLoop();
    return 0;
}
