// The player's controls in a real GL context on a controllable clock: a jump shows exactly the
// picture the played show has at that time, lands in the right mode, and the soundtrack follows;
// steps, scenes, speed and screenshots through the real keyboard callbacks.
#include "common/picture.h"
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/player_keys.h"
#include "player/player_logic.h"
#include "player/screenshot.h"
#include "basicsource/scene.h"
#include "helpers/fake_clock.h"
#include "helpers/recording_audio.h"
#include "helpers/show_runner.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Player : public testing::Test {
  protected:
    void SetUp() override {
        rebuildScene();
        setAudioBackend(&music);
        gProgramMode = kpmAtStart;
        resetAnimationTimer();
        glViewport(0, 0, gWindowWidth, gWindowHeight);
    }
    void TearDown() override {
        setPlaybackSpeed(1);
        setLooping(false);
        destroyScene();
        setAudioBackend(nullptr);
        gProgramMode = kpmAtStart;
        gTextOn = false;
        sounds = 1;
    }
    picture frame() {
        renderShowFrame(screenshotLook());
        return readBackBuffer(gWindowWidth, gWindowHeight);
    }
    // The show played from its start to `seconds`, frame by frame, and drawn.
    picture playedFrame(float seconds) {
        rebuildScene();
        startShow(clock);
        playTo(clock, seconds);
        return frame();
    }
    int64_t nowMs() { return animationTimeMilliseconds(); }
    recordingBackend music;
    fakeClock clock;
};

} // namespace

TEST_F(Player, AJumpShowsThePictureThePlayedShowHasThere) {
    for (float t : {0.0f, 10.0f, 47.0f, 84.0f, 101.04f, 125.0f}) {
        picture expected = playedFrame(t);
        // Start from somewhere else entirely: late in the show, the camera moved by hand.
        rebuildScene();
        startShow(clock);
        playTo(clock, 112);
        camera.moveBy(7, 3, -2);
        gProgramMode = kpmPaused;
        jumpTo(t);
        picture jumped = frame();
        EXPECT_TRUE(jumped.rgb == expected.rgb) << "at " << t << " s";
        EXPECT_EQ(nowMs(), int64_t(std::lround(t * 1000)));
    }
}

TEST_F(Player, AJumpLandsPausedFromTheStartOrTheEndAndOtherwiseKeepsTheMode) {
    jumpTo(84);
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_FALSE(idleCallbackInstalled());
    clock.advance(3000);
    EXPECT_EQ(nowMs(), 84000);

    gProgramMode = kpmAnimating;
    unpauseAnimationTimer();
    jumpTo(20);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_TRUE(idleCallbackInstalled());
    clock.advance(1500);
    EXPECT_EQ(nowMs(), 21500);

    jumpTo(130); // the end, frozen there as when played to it
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_FLOAT_EQ(getAnimationTime(), 130.0f);
    NextFrame();
    EXPECT_FALSE(idleCallbackInstalled());
    jumpTo(-10);
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_EQ(nowMs(), 0);
    jumpTo(1e9);
    EXPECT_EQ(gProgramMode, kpmFinished);
}

TEST_F(Player, TheSoundtrackFollowsJumpsAndIsHeardAtNormalSpeedOnly) {
    const std::string track = "play " + soundtrackFile() + ";";
    gProgramMode = kpmAnimating;
    jumpTo(84);
    EXPECT_EQ(music.log, track + "seek 84.000;");
    music.log.clear();
    KeyPress('p', 0, 0);
    jumpTo(50); // paused stays paused, at the new place
    EXPECT_EQ(music.log, "pause;" + track + "seek 50.000;pause;");
    music.log.clear();
    KeyPress('p', 0, 0);
    playerKeyPress(']');
    EXPECT_EQ(music.log, "resume;pause;");
    KeyPress('p', 0, 0);
    KeyPress('p', 0, 0); // resuming at 2x stays silent
    EXPECT_EQ(music.log.find("resume", 7), std::string::npos) << music.log;
    clock.advance(1000);
    music.log.clear();
    playerKeyPress(8); // Backspace: 1x, heard again where the picture is
    EXPECT_EQ(music.log, track + "seek 52.000;");
    music.log.clear();
    sounds = 0;
    jumpTo(10);
    EXPECT_EQ(music.log, "");
}

TEST_F(Player, SoundThatDriftsFromThePictureIsBroughtBack) {
    KeyPress('a', 0, 0);
    clock.advance(60000);
    music.log.clear();
    music.heard = 60 + kSoundSlack * 0.9; // within the slack: left alone
    keepSoundInStep();
    music.heard = 60 - kSoundSlack * 0.9;
    keepSoundInStep();
    EXPECT_EQ(music.log, "");
    music.heard = 60 + kSoundSlack * 1.2;
    keepSoundInStep();
    EXPECT_EQ(music.log, "seek 60.000;");
    music.log.clear();
    music.heard = 50;
    playerKeyPress(']'); // at 2x nothing is heard, nothing to keep in step
    music.log.clear();
    keepSoundInStep();
    KeyPress('p', 0, 0);
    playerKeyPress(8);
    keepSoundInStep(); // paused
    EXPECT_EQ(music.log.find("seek"), std::string::npos) << music.log;
}

TEST_F(Player, KeysStepJumpAndChangeSpeed) {
    KeyPress('a', 0, 0);
    clock.advance(84013);
    playerKeyPress('.'); // pauses, then the next frame
    EXPECT_EQ(gProgramMode, kpmPaused);
    EXPECT_EQ(nowMs(), 84040);
    playerKeyPress(',');
    playerKeyPress(',');
    EXPECT_EQ(nowMs(), 83960);
    playerKeyPress('>');
    EXPECT_EQ(nowMs(), 88960);
    playerKeyPress('<');
    playerKeyPress('<');
    EXPECT_EQ(nowMs(), 78960);
    for (char scene = '1'; scene <= '6'; ++scene) {
        playerKeyPress(scene);
        EXPECT_EQ(nowMs(), int64_t(kSceneStarts[scene - '1'] * 1000));
    }
    playerSpecialKeyPress(GLUT_KEY_PAGE_UP);
    EXPECT_EQ(nowMs(), 86000);
    playerSpecialKeyPress(GLUT_KEY_PAGE_DOWN);
    EXPECT_EQ(nowMs(), 120000);
    playerKeyPress('>');
    playerKeyPress('>'); // clamped at the end
    EXPECT_EQ(gProgramMode, kpmFinished);
    EXPECT_FLOAT_EQ(getAnimationTime(), 130.0f);

    KeyPress('a', 0, 0);
    playerKeyPress('[');
    playerKeyPress('[');
    playerKeyPress('[');
    EXPECT_DOUBLE_EQ(animationSpeed(), 0.25);
    clock.advance(4000);
    EXPECT_EQ(nowMs(), 1000);
    char line[96];
    formatStatusLine(line, sizeof line);
    EXPECT_NE(std::string(line).find(", Speed: 0.25x"), std::string::npos) << line;
    SpecialKeyPress(GLUT_KEY_PAGE_DOWN, 0, 0); // through the program's own callback
    EXPECT_EQ(nowMs(), 15000);
    EXPECT_EQ(gProgramMode, kpmAnimating);
    KeyPress(8, 0, 0);
    formatStatusLine(line, sizeof line);
    EXPECT_EQ(std::string(line).find("Speed"), std::string::npos) << line;
}

TEST_F(Player, LoopingStartsTheShowAgainWithItsSound) {
    setLooping(true);
    KeyPress('a', 0, 0);
    clock.advance(130000);
    NextFrame(); // reaches the end
    music.log.clear();
    NextFrame();
    EXPECT_EQ(gProgramMode, kpmAnimating);
    EXPECT_EQ(nowMs(), 0);
    EXPECT_TRUE(idleCallbackInstalled());
    EXPECT_NE(music.log.find("seek 0.000;"), std::string::npos) << music.log;
}

// A scratch folder as the working directory while it lives; the previous one and no scratch
// folder afterwards, whatever the test did.
class scratchWorkingDirectory {
  public:
    scratchWorkingDirectory() {
        char pattern[] = "/tmp/lumenfold-shots-XXXXXX";
        if (mkdtemp(pattern) && getcwd(previous, sizeof previous) && chdir(pattern) == 0) {
            folder = pattern;
        }
    }
    ~scratchWorkingDirectory() {
        if (!folder.empty() && chdir(previous) == 0) {
            std::system(("rm -rf '" + folder + "'").c_str());
        }
    }
    bool ready() const { return !folder.empty(); }

  private:
    char previous[4096] = "";
    std::string folder;
};

TEST_F(Player, AScreenshotIsThePictureWithoutOverlaysUnderTheShowTime) {
    jumpTo(84);
    scratchWorkingDirectory scratch;
    ASSERT_TRUE(scratch.ready());

    installPlayerOverlays();
    gTextOn = true;
    playerKeyPress('h');
    std::string first = saveScreenshot();
    std::string second = saveScreenshot(); // never over an earlier one
    playerKeyPress('h');
    gTextOn = false;
    EXPECT_EQ(first, "screenshots/lumenfold-084.00s.png");
    EXPECT_EQ(second, "screenshots/lumenfold-084.00s-2.png");
    EXPECT_EQ(currentNotice(), "Saved " + second);
    picture expected = frame();
    std::ifstream saved(first, std::ios::binary);
    EXPECT_TRUE(saved.good());
    std::string check = "convert " + first + " -depth 8 rgb:" + first + ".rgb";
    ASSERT_EQ(std::system(check.c_str()), 0);
    std::ifstream raw(first + ".rgb", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(raw)), {});
    // The PNG is top-down; GL's rows are bottom-up.
    ASSERT_EQ(bytes.size(), expected.rgb.size());
    bool same = true;
    const size_t row = size_t(expected.width) * 3;
    for (int y = 0; y < expected.height && same; ++y) {
        same = std::memcmp(expected.at(0, y), bytes.data() + row * (expected.height - 1 - y),
                           row) == 0;
    }
    EXPECT_TRUE(same);
    // Permissions like any new file's (not the private ones of the hidden file it was written
    // as), and nothing hidden left behind.
    struct stat info;
    ASSERT_EQ(stat(first.c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0666 & ~mask);
    ASSERT_EQ(std::system("test \"$(ls -A screenshots | grep -c '^\\.')\" = 0"), 0);

    // Where the folder cannot be made, the program says so and carries on.
    ASSERT_EQ(std::system("rm -rf screenshots && touch screenshots"), 0);
    EXPECT_EQ(saveScreenshot(), "");
    EXPECT_EQ(currentNotice(), "Cannot write the screenshot into screenshots/");
}
