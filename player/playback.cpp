// Playback control. A jump rebuilds and poses the cast through every earlier frame
// (poseShowAt), so the picture after it is the one the show has at that time, whatever was on
// screen before; the soundtrack is then moved to the same moment.
#include "player/playback.h"

#include "basicsource/frame.h"
#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "player/player_logic.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>

namespace {

bool gIdleInstalled = false;
bool gLooping = false;

// Every change of the idle callback goes through here, so the program knows whether it runs.
void setIdle(void (*callback)()) {
    glutIdleFunc(callback);
    gIdleInstalled = callback != nullptr;
}

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

// At the end, a looping show starts again; true when it did.
bool restartIfLooping() {
    if (!gLooping) {
        return false;
    }
    gProgramMode = kpmAnimating;
    jumpTo(0);
    return true;
}

} // namespace

bool idleCallbackInstalled() { return gIdleInstalled; }

double currentSeconds() { return double(getAnimationTime()); }

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

void showOpeningScreen() {
    InitScene();
    gFrameCounter = 0;
    gProgramMode = kpmAtStart;
    resetAnimationTimer();
    pauseAnimationTimer(); // the picture is the show's first moment
    setIdle(nullptr);
}

void startShow() {
    InitScene();
    gFrameCounter = 0;
    resetAnimationTimer();
    gProgramMode = kpmAnimating;
    setIdle(NextFrame);
    if (sounds) {
        playSoundFile(soundtrackFile().c_str());
    }
}

void togglePause() {
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
    glutPostRedisplay(); // overlays that show the mode (the control strip) are drawn anew
}

void beginMovieMode() {
    // The movie ends the show (kpmFinished), whose end stops the music: stopped from the start,
    // it does not play on over the render. Muting and the sound's switch are left as they are.
    stopMusic();
    InitScene();
    gFrameCounter = 0;
    gProgramMode = kpmMakingMovie;
    resetAnimationTimer();
}

// The idle callback is left as it was: a playing show's next idle call finds the end and stops.
void endMovieMode() { gProgramMode = kpmFinished; }

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

void playFrom(double seconds) {
    gProgramMode = kpmAnimating;
    jumpTo(seconds);
}

void stepFrame(int direction) {
    if (gProgramMode == kpmAnimating) {
        togglePause(); // a step pauses the show, as p does
    }
    const int64_t now = int64_t(std::llround(currentSeconds() * 1000));
    jumpTo(double(steppedFrameMilliseconds(now, direction)) / 1000);
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

void setLooping(bool loop) { gLooping = loop; }

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
