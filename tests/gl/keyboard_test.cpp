// The keyboard: modes, the clock, the soundtrack and the camera, through the real callbacks.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_logic.h"
#include "player/screenshot.h"
#include "basicsource/platform.h"
#include "helpers/recording_audio.h"
#include "basicsource/scene.h"
#include "helpers/fake_clock.h"
#include "helpers/show_runner.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>

namespace {

int gMovieCalls = 0;
ProgramMode gModeDuringMovie = kpmAtStart;
float gTimeDuringMovie = -1;
bool recordMovie() {
    ++gMovieCalls;
    gModeDuringMovie = gProgramMode;
    gTimeDuringMovie = getAnimationTime();
    return true;
}

class Keyboard : public testing::Test {
  protected:
    void SetUp() override {
        rebuildScene();
        setAudioBackend(&music);
        setMovieHook(recordMovie);
        gMovieCalls = 0;
        savedCamera = camera;
        gProgramMode = kpmAtStart;
        sounds = 1;
    }
    void TearDown() override {
        destroyScene();
        setAudioBackend(nullptr);
        setMovieHook(nullptr);
        camera = savedCamera;
        gProgramMode = kpmAtStart;
        gTextOn = false;
        gWireFrameOnly = false;
        sounds = 1;
        setStatusNotice(""); // a notice would be drawn into the next test's pictures
    }
    void press(const char* keys) {
        for (const char* k = keys; *k; ++k) {
            KeyPress(static_cast<unsigned char>(*k), 0, 0);
        }
    }
    recordingBackend music;
    cameraClass savedCamera;
    fakeClock clock;
};

} // namespace

TEST_F(Keyboard, AStartsTheShowAndTheSoundtrackFromAnyMode) {
    gFrameCounter = 99;
    for (ProgramMode from : {kpmAtStart, kpmAnimating, kpmPaused, kpmFinished}) {
        gProgramMode = from;
        clock.advance(5000);
        press("a");
        EXPECT_EQ(gProgramMode, kpmAnimating);
        EXPECT_EQ(gFrameCounter, 0);
        EXPECT_EQ(getAnimationTime(), 0.0f);
        EXPECT_TRUE(idleCallbackInstalled());
        // InitScene puts the camera back and hides the ground.
        EXPECT_EQ(camera.getLocation().data[0], -16);
        EXPECT_TRUE(ground->isInvisible());
        camera.moveBy(5, 5, 5);
        ground->show();
    }
    EXPECT_EQ(music.log, "play resources/Sonavel.wav;play resources/Sonavel.wav;"
                         "play resources/Sonavel.wav;play resources/Sonavel.wav;");
    music.log.clear();
    sounds = 0;
    press("a");
    EXPECT_EQ(music.log, "");
}

TEST_F(Keyboard, PPausesAndResumesTheShowAndTheMusicTogether) {
    press("a");
    clock.advance(3000);
    press("p");
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_FALSE(idleCallbackInstalled());
    clock.advance(60000);
    press("p");
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_TRUE(idleCallbackInstalled());
    EXPECT_FLOAT_EQ(getAnimationTime(), 3.0f);
    EXPECT_EQ(music.log, "play resources/Sonavel.wav;pause;resume;");

    music.log.clear();
    for (ProgramMode other : {kpmAtStart, kpmFinished}) {
        gProgramMode = other;
        press("p");
        EXPECT_EQ(gProgramMode, other);
    }
    EXPECT_EQ(music.log, "");
}

TEST_F(Keyboard, MRunsTheMovieHookAndFinishes) {
    press("a");
    clock.advance(7000);
    press("m");
    EXPECT_EQ(gMovieCalls, 1);
    EXPECT_EQ(gModeDuringMovie, kpmMakingMovie);
    EXPECT_EQ(gTimeDuringMovie, 0.0f); // the clock was reset before the movie
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_EQ(gFrameCounter, 0);
    // The idle callback is left as it was; its next call stops the loop.
    EXPECT_TRUE(idleCallbackInstalled());
    NextFrame();
    EXPECT_FALSE(idleCallbackInstalled());
    float frozen = getAnimationTime();
    clock.advance(3000);
    EXPECT_EQ(getAnimationTime(), frozen);

    // While paused there is no idle callback, and m leaves none.
    press("a");
    press("p");
    press("m");
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_FALSE(idleCallbackInstalled());
    press("p"); // nothing to resume
    EXPECT_EQ(gProgramMode, kpmFinished);
    press("a"); // a starts the show again after the end
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_TRUE(idleCallbackInstalled());
}

// The browser's program has no movie maker: m changes nothing, says where movies come from, and
// the help does not promise a movie.
TEST_F(Keyboard, WithoutAMovieMakerMOnlySaysWhereMoviesComeFrom) {
    auto mLine = [] {
        for (const std::string& line : helpLines()) {
            if (line.rfind("m ", 0) == 0) {
                return line;
            }
        }
        return std::string("(no line for m)");
    };
    EXPECT_NE(mLine().find("render the movie"), std::string::npos);

    setMovieHook(nullptr);
    EXPECT_EQ(mLine().find("render"), std::string::npos) << mLine();
    press("a");
    clock.advance(7000);
    press("m");
    EXPECT_EQ(gMovieCalls, 0);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(getAnimationTime(), 7.0f);
    EXPECT_EQ(currentNotice(),
              "Movies are made by lumenfold-movie, a Linux program not in this release");
}

// The help's s line says what this program's s does: here, the folder screenshotFileName names
// (the browser's says it downloads).
TEST_F(Keyboard, TheHelpSaysWhereScreenshotsGo) {
    std::string sLine = "(no line for s)";
    for (const std::string& line : helpLines()) {
        if (line.rfind("s ", 0) == 0) {
            sLine = line;
        }
    }
    const std::string file = screenshotFileName(84);
    const std::string folder = file.substr(0, file.rfind('/') + 1);
    EXPECT_NE(sLine.find(screenshotDestination()), std::string::npos) << sLine;
    EXPECT_NE(sLine.find("into " + folder), std::string::npos) << sLine;
}

TEST_F(Keyboard, ManualCameraMovesLastUntilTheTimelineSetsTheValueAgain) {
    press("a");
    clock.advance(2000);
    NextFrame();
    press("u"); // Scene1 sets the camera location every frame
    float moved = camera.getLocation().data[1];
    clock.advance(40);
    NextFrame();
    EXPECT_LT(camera.getLocation().data[1], moved - 0.5f);
    press("p");
    float before = camera.getLocation().data[1];
    press("uu"); // while paused, moves stay
    float paused = camera.getLocation().data[1];
    EXPECT_FLOAT_EQ(paused, before + 2);
    ViewScene();
    EXPECT_EQ(camera.getLocation().data[1], paused);
}

TEST_F(Keyboard, TogglesAndCameraStepsAlongWorldAxes) {
    camera = cameraClass();
    press("tw");
    EXPECT_TRUE(gTextOn);
    EXPECT_TRUE(gWireFrameOnly);
    press("tw");
    EXPECT_FALSE(gTextOn);
    EXPECT_FALSE(gWireFrameOnly);

    press("lluddiooo"); // x -2, y -1, z +2
    EXPECT_FLOAT_EQ(camera.getLocation().data[0], -2);
    EXPECT_FLOAT_EQ(camera.getLocation().data[1], -1);
    EXPECT_FLOAT_EQ(camera.getLocation().data[2], 10);
    press("r");
    EXPECT_FLOAT_EQ(camera.getLocation().data[0], -1);
    EXPECT_FLOAT_EQ(camera.getTarget().data[0], 0);

    SpecialKeyPress(GLUT_KEY_LEFT, 0, 0);
    SpecialKeyPress(GLUT_KEY_UP, 0, 0);
    SpecialKeyPress(GLUT_KEY_UP, 0, 0);
    SpecialKeyPress(GLUT_KEY_RIGHT, 0, 0);
    SpecialKeyPress(GLUT_KEY_RIGHT, 0, 0);
    SpecialKeyPress(GLUT_KEY_DOWN, 0, 0);
    SpecialKeyPress(GLUT_KEY_F1, 0, 0);
    SpecialKeyPress(GLUT_KEY_INSERT, 0, 0);
    EXPECT_FLOAT_EQ(camera.getTarget().data[0], 1);
    EXPECT_FLOAT_EQ(camera.getTarget().data[1], 1);
    EXPECT_FLOAT_EQ(camera.getTarget().data[2], 0);
    EXPECT_FLOAT_EQ(camera.getLocation().data[0], -1);
}

TEST_F(Keyboard, UpperCaseAndUnlistedKeysDoNothing) {
    camera = cameraClass();
    press("APMTWLRUDIOQxyz90 \t");
    EXPECT_EQ(gProgramMode, kpmAtStart);
    EXPECT_FALSE(gTextOn);
    EXPECT_FALSE(gWireFrameOnly);
    EXPECT_FLOAT_EQ(camera.getLocation().data[0], 0);
    EXPECT_FLOAT_EQ(camera.getLocation().data[2], 8);
    EXPECT_EQ(music.log, "");
}
