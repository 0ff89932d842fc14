// Program entry and the keyboard: start-up in the order the show needs (platform, window,
// callbacks, cast, clock), then every key to its owner. The show's own keys act here or through
// playback; the player's keys and the pointer's events go to the player.
#include "basicsource/main.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "player/launch_options.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_keys.h"
#include "player/pointer_input.h"
#include "player/run_report.h"

#include <GL/freeglut.h>

#include <cstdio>

namespace {

void moveCamera(float x, float y, float z) {
    camera.moveBy(x, y, z);
    glutPostRedisplay();
}

// Speed, full screen and the start time asked for on the command line, once the show is built.
void applyLaunchOptions(const launchOptions& options) {
    if (options.speed != 1) {
        setPlaybackSpeed(options.speed);
    }
    if (options.fullscreen) {
        platformToggleFullScreen();
    }
    if (options.hasStart) {
        // From the opening screen a jump lands paused; --start without --paused plays.
        if (options.paused) {
            jumpTo(options.start);
        } else {
            playFrom(options.start);
        }
    }
}

} // namespace

void KeyPress(unsigned char key, int, int) {
    switch (key) {
    case 'a':
        startShow();
        break;
    case 'p':
        togglePause();
        break;
    case 'm':
        if (!movieRendererInstalled()) {
            // A program without the movie maker (Windows, the browser).
            showNotice(kNoMovieMakerNotice);
            break;
        }
        forgetPointer(); // the window is the movie's until it ends
        beginMovieMode();
        if (!RenderMovie()) {
            platformEndProgram(); // Escape during the movie stops it and then quits, as ever
            break;
        }
        endMovieMode();
        installShowCallbacks();
        break;
    case 'f':
        platformToggleFullScreen(); // and back: Escape keeps its meaning, quit
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
        moveCamera(-1, 0, 0);
        break;
    case 'r':
        moveCamera(1, 0, 0);
        break;
    case 'u':
        moveCamera(0, 1, 0);
        break;
    case 'd':
        moveCamera(0, -1, 0);
        break;
    case 'i':
        moveCamera(0, 0, -1);
        break;
    case 'o':
        moveCamera(0, 0, 1);
        break;
    case kEscape:
    case 'q':
        platformEndProgram();
        break;
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

void installShowCallbacks() {
    glutDisplayFunc(ViewScene);
    glutKeyboardFunc(KeyPress);
    glutSpecialFunc(SpecialKeyPress);
    // The pointer (mouse, touch in a browser) goes to the player's pointer unit.
    glutMouseFunc(pointerButton);
    glutMotionFunc(pointerMotion);
    glutPassiveMotionFunc(pointerPassiveMotion);
    glutReshapeFunc(ResizeWindow);
    // Closing the window from the window manager winds the platform down like `q` does.
    glutCloseFunc(platformWindup);
}

int lumenfoldMain(int argc, char** argv) {
    launchOptions options;
    const launchStop stop = launchStopFor(argc, argv, options);
    if (stop.refused) {
        std::fprintf(stderr, "%s\n%s", stop.message.c_str(), launchUsage().c_str());
        return 2;
    }
    if (stop.stops) {
        std::fputs(stop.message.c_str(), stdout);
        return 0;
    }
    sounds = options.mute ? 0 : 1;
    setLooping(options.loop);

    platformInitialise();
    glutInit(&argc, argv);
    const int samples = openShowWindow(kShowTitle, options.samples);
    if (samples < options.samples) {
        std::fprintf(stderr, "lumenfold: the display offers at most %d samples; using %d\n",
                     samples, samples);
    }
    installShowCallbacks();
    installPlayerOverlays();
    startRunReport();
    ConstructScene();
    showOpeningScreen();
    applyLaunchOptions(options);
    glutMainLoop();
    return 0;
}
