// The player's pure logic: the command line, where resources are looked for, where the keys
// lead, and the animation clock at other speeds and after jumps.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/resource_lookup.h"
#include "moviemaker/movie_options.h"
#include "player/launch_options.h"
#include "player/playback.h"
#include "player/player_logic.h"
#include "helpers/fake_clock.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

parseResult parse(std::vector<const char*> args, launchOptions& options) {
    args.insert(args.begin(), "lumenfold");
    return parseLaunchOptions(int(args.size()), args.data(), options);
}

std::string refusal(std::vector<const char*> args) {
    launchOptions options;
    parseResult result = parse(args, options);
    return result.ok ? "accepted" : result.error;
}

} // namespace

TEST(LaunchOptions, NoArgumentsChangeNothing) {
    launchOptions options;
    ASSERT_TRUE(parse({}, options).ok);
    EXPECT_FALSE(options.hasStart || options.paused || options.fullscreen || options.loop ||
                 options.mute || options.help || options.version);
    EXPECT_EQ(options.speed, 1);
}

TEST(LaunchOptions, ReadsEveryOptionInEitherSpelling) {
    launchOptions options;
    ASSERT_TRUE(parse({"--start", "84.5", "--paused", "--speed=0.25", "--fullscreen", "--loop",
                       "--mute"},
                      options)
                    .ok);
    EXPECT_TRUE(options.hasStart);
    EXPECT_DOUBLE_EQ(options.start, 84.5);
    EXPECT_TRUE(options.paused && options.fullscreen && options.loop && options.mute);
    EXPECT_DOUBLE_EQ(options.speed, 0.25);

    launchOptions smooth;
    ASSERT_TRUE(parse({"--aa", "4"}, smooth).ok);
    EXPECT_EQ(smooth.samples, 4);
    EXPECT_EQ(refusal({"--aa", "2.5"}),
              "--aa takes a whole number of samples from 1 to 64, not '2.5'");
    EXPECT_EQ(refusal({"--aa", "0"}), "--aa takes a whole number of samples from 1 to 64, not '0'");

    launchOptions ends;
    ASSERT_TRUE(parse({"--start=0", "--start", "130"}, ends).ok);
    EXPECT_EQ(ends.start, 130);
    // Paused alone waits at the opening moment.
    launchOptions paused;
    ASSERT_TRUE(parse({"--paused"}, paused).ok);
    EXPECT_TRUE(paused.hasStart);
    EXPECT_EQ(paused.start, 0);
}

TEST(LaunchOptions, LeavesTheWindowSystemsOptionsToIt) {
    launchOptions options;
    ASSERT_TRUE(parse({"-display", ":3", "--mute", "-geometry", "800x600", "-sync"}, options).ok);
    EXPECT_TRUE(options.mute);
}

TEST(LaunchOptions, RefusesBadOptionsAndValuesSayingWhat) {
    EXPECT_EQ(refusal({"--bogus"}), "unknown option '--bogus'");
    EXPECT_EQ(refusal({"-x"}), "unknown option '-x'");
    EXPECT_EQ(refusal({"84"}), "unknown option '84'");
    EXPECT_EQ(refusal({"--start"}), "--start needs a value");
    EXPECT_EQ(refusal({"--mute=yes"}), "--mute takes no value");
    for (const char* bad : {"abc", "-5", "12abc", "", "130.5", "nan", "inf", "1e400"}) {
        EXPECT_EQ(refusal({"--start", bad}),
                  std::string("--start takes a time in seconds from 0 to 130, not '") + bad + "'");
    }
    for (const char* bad : {"0", "-1", "x", "21", "0.01"}) {
        EXPECT_NE(refusal({"--speed", bad}).find("--speed takes a factor"), std::string::npos)
            << bad;
    }
    EXPECT_EQ(refusal({"--help", "--version"}), "accepted");
}

TEST(LaunchOptions, NumbersAreDecimalDigitsOnly) {
    // Once read as 5, 16, 4, 10 and 8: spaces, hexadecimal, fractions of a whole number and
    // exponents are refused instead.
    for (const char* bad : {" 5", "0x10", "+5", "5 ", "1e1", "5,5"}) {
        EXPECT_EQ(refusal({"--start", bad}),
                  std::string("--start takes a time in seconds from 0 to 130, not '") + bad + "'");
    }
    for (const char* bad : {"4.0", "1e1", "0x8", " 4", "+4"}) {
        EXPECT_EQ(refusal({"--aa", bad}),
                  std::string("--aa takes a whole number of samples from 1 to 64, not '") + bad +
                      "'");
    }
    EXPECT_NE(refusal({"--speed", "5e-1"}), "accepted");
    launchOptions fine;
    ASSERT_TRUE(parse({"--start", "084.50", "--speed", "0.5"}, fine).ok);
    EXPECT_DOUBLE_EQ(fine.start, 84.5);
}

TEST(LaunchOptions, BothProgramsWordTheSameMistakeAlike) {
    for (const char* bad : {"4.0", "0", "65", "x"}) {
        movieSettings settings;
        const char* movieArgs[] = {"lumenfold-movie", "--aa", bad};
        EXPECT_EQ(parseMovieCommand(3, movieArgs, settings).error, refusal({"--aa", bad}));
    }
    movieSettings settings;
    const char* movieArgs[] = {"lumenfold-movie", "--from", "131"};
    EXPECT_EQ(parseMovieCommand(3, movieArgs, settings).error,
              refusal({"--start", "131"}).replace(0, 7, "--from"));
}

// The refusal as one line of its own, the usage or version as the whole text, whatever the
// value holds (the browser shows the message instead of reading it back from stderr).
TEST(LaunchOptions, StopsBeforeTheShowWithTheRefusalTheUsageOrTheVersion) {
    auto stopFor = [](std::vector<const char*> args) {
        args.insert(args.begin(), "lumenfold");
        launchOptions options;
        return launchStopFor(int(args.size()), args.data(), options);
    };
    const launchStop newline = stopFor({"--start=1\nx"});
    EXPECT_TRUE(newline.stops && newline.refused);
    EXPECT_EQ(newline.message, "lumenfold: --start takes a time in seconds from 0 to 130, not '1\nx'");
    const launchStop help = stopFor({"--mute", "--help"});
    EXPECT_TRUE(help.stops && !help.refused);
    EXPECT_EQ(help.message, launchUsage());
    EXPECT_EQ(stopFor({"--version"}).message, launchVersion() + "\n");
    EXPECT_TRUE(stopFor({"--help", "--start", "x"}).refused); // a mistake outranks the help
    EXPECT_FALSE(stopFor({"--start", "84", "--paused"}).stops);
}

TEST(LaunchOptions, UsageListsEveryOption) {
    const std::string usage = launchUsage();
    for (const char* option : {"--start", "--paused", "--speed", "--fullscreen", "--loop",
                               "--mute", "--aa", "--version", "--help"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(launchVersion().rfind("lumenfold ", 0), 0u);
    EXPECT_EQ(usage.back(), '\n');
}

TEST(ResourceLookup, TriesTheWorkingDirectoryThenBesideTheProgramThenTheInstalledPlace) {
    std::set<std::string> files;
    auto has = [&](const std::string& path) { return files.count(path) > 0; };
    // Nothing anywhere: the usual place, so a missing image is reported as ever.
    EXPECT_EQ(chooseResourceDirectory("/opt/x/bin", has), "resources");
    files.insert("/opt/x/bin/../share/lumenfold/resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("/opt/x/bin", has), "/opt/x/bin/../share/lumenfold/resources");
    files.insert("/opt/x/bin/resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("/opt/x/bin", has), "/opt/x/bin/resources");
    files.insert("resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("/opt/x/bin", has), "resources");
    // A soundtrack alone does not make a resource folder.
    files = {"/opt/x/bin/resources/Sonavel.wav"};
    EXPECT_EQ(chooseResourceDirectory("/opt/x/bin", has), "resources");
    EXPECT_EQ(resourceDirectoryCandidates("").size(), 1u);
}

TEST(ResourceLookup, FindsTheDataOfAProgramInstalledAsADebianGame) {
    std::set<std::string> files = {"/usr/games/../share/games/lumenfold/resources/ground.bmp"};
    auto has = [&](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(chooseResourceDirectory("/usr/games", has),
              "/usr/games/../share/games/lumenfold/resources");
    // A program in bin/ keeps its own layout even where a game's data lies in the same prefix.
    files.insert("/usr/bin/../share/lumenfold/resources/ground.bmp");
    files.insert("/usr/bin/../share/games/lumenfold/resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("/usr/bin", has), "/usr/bin/../share/lumenfold/resources");
    // The working directory's copy still comes first (a build tree run from the sources).
    files.insert("resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("/usr/games", has), "resources");
}

// A Windows copy keeps its data beside the program: an installed Linux copy's places are not
// looked in (nor named in the message that lists where the data was looked for).
TEST(ResourceLookup, WithoutInstalledLayoutsOnlyTheWorkingFolderAndBesideTheProgram) {
    std::set<std::string> files = {"C:/x/../share/lumenfold/resources/ground.bmp"};
    auto has = [&](const std::string& path) { return files.count(path) > 0; };
    EXPECT_EQ(chooseResourceDirectory("C:/x", has, installedLayouts::none), "resources");
    EXPECT_EQ(resourceDirectoryCandidates("C:/x", installedLayouts::none),
              (std::vector<std::string>{"resources", "C:/x/resources"}));
    files.insert("C:/x/resources/ground.bmp");
    EXPECT_EQ(chooseResourceDirectory("C:/x", has, installedLayouts::none), "C:/x/resources");
}

TEST(PlayerKeys, SceneStartsAroundAnyTime) {
    EXPECT_EQ(nextSceneStart(0), 15);
    EXPECT_EQ(nextSceneStart(14.999), 15);
    EXPECT_EQ(nextSceneStart(15), 37);
    EXPECT_EQ(nextSceneStart(100), 120);
    EXPECT_EQ(nextSceneStart(125), 125); // nothing after the credits
    EXPECT_EQ(previousSceneStart(0), 0);
    EXPECT_EQ(previousSceneStart(10), 0);
    EXPECT_EQ(previousSceneStart(15), 0);
    EXPECT_EQ(previousSceneStart(40), 15);
    EXPECT_EQ(previousSceneStart(86), 50);
    EXPECT_EQ(previousSceneStart(130), 86);
}

TEST(PlayerKeys, FrameStepsLandOnTheFrameGridWithinTheShow) {
    EXPECT_EQ(steppedFrameMilliseconds(84000, 1), 84040);
    EXPECT_EQ(steppedFrameMilliseconds(84000, -1), 83960);
    EXPECT_EQ(steppedFrameMilliseconds(84013, 1), 84040);
    EXPECT_EQ(steppedFrameMilliseconds(84013, -1), 84000);
    EXPECT_EQ(steppedFrameMilliseconds(0, -1), 0);
    EXPECT_EQ(steppedFrameMilliseconds(130000, 1), 130000);
    EXPECT_EQ(steppedFrameMilliseconds(129990, 1), 130000);
}

TEST(PlayerKeys, SpeedsStepThroughTheListAndStopAtItsEnds) {
    EXPECT_EQ(fasterSpeed(1), 2);
    EXPECT_EQ(fasterSpeed(2), 4);
    EXPECT_EQ(fasterSpeed(4), 4);
    EXPECT_EQ(slowerSpeed(1), 0.5);
    EXPECT_EQ(slowerSpeed(0.25), 0.25);
    // A speed from the command line between the steps goes to the neighbouring step.
    EXPECT_EQ(fasterSpeed(1.5), 2);
    EXPECT_EQ(slowerSpeed(1.5), 1);
    EXPECT_EQ(fasterSpeed(10), 10);
    EXPECT_EQ(slowerSpeed(0.1), 0.1);
}

TEST(PlayerKeys, ScreenshotNamesCarryTheShowTime) {
    EXPECT_EQ(screenshotFileName(84), "screenshots/lumenfold-084.00s.png");
    EXPECT_EQ(screenshotFileName(5.04), "screenshots/lumenfold-005.04s.png");
    EXPECT_EQ(screenshotFileName(130), "screenshots/lumenfold-130.00s.png");
    EXPECT_EQ(screenshotFileName(84, 3), "screenshots/lumenfold-084.00s-3.png");
}

namespace {

class SpeedClock : public testing::Test {
  protected:
    void SetUp() override { gProgramMode = kpmAnimating; }
    void TearDown() override {
        setAnimationSpeed(1);
        gProgramMode = kpmAtStart;
    }
    fakeClock clock;
};

} // namespace

TEST_F(SpeedClock, ScalesTheRunningTimeInWholeMilliseconds) {
    resetAnimationTimer();
    setAnimationSpeed(2);
    clock.advance(1500);
    EXPECT_EQ(animationTimeMilliseconds(), 3000);
    setAnimationSpeed(0.25);
    EXPECT_EQ(animationTimeMilliseconds(), 3000); // a change of speed moves no time
    clock.advance(3);
    EXPECT_EQ(animationTimeMilliseconds(), 3000);
    clock.advance(1);
    EXPECT_EQ(animationTimeMilliseconds(), 3001);
    clock.advance(3996);
    EXPECT_FLOAT_EQ(getAnimationTime(), 4.0f);
    EXPECT_DOUBLE_EQ(animationSpeed(), 0.25);
}

TEST_F(SpeedClock, PausesAreLeftOutAtAnySpeed) {
    resetAnimationTimer();
    setAnimationSpeed(4);
    clock.advance(1000);
    pauseAnimationTimer();
    clock.advance(60000);
    EXPECT_EQ(animationTimeMilliseconds(), 4000);
    setAnimationSpeed(0.5); // changed while paused: still paused, still there
    clock.advance(1000);
    EXPECT_EQ(animationTimeMilliseconds(), 4000);
    unpauseAnimationTimer();
    clock.advance(1000);
    EXPECT_EQ(animationTimeMilliseconds(), 4500);
}

TEST_F(SpeedClock, AJumpSetsTheTimeAndKeepsPlayingOrPaused) {
    resetAnimationTimer();
    clock.advance(10000);
    setAnimationTimeMilliseconds(84000);
    clock.advance(20);
    EXPECT_EQ(animationTimeMilliseconds(), 84020);
    pauseAnimationTimer();
    setAnimationTimeMilliseconds(50000);
    clock.advance(5000);
    EXPECT_EQ(animationTimeMilliseconds(), 50000);
    unpauseAnimationTimer();
    clock.advance(40);
    EXPECT_EQ(animationTimeMilliseconds(), 50040);
    // A reset starts at 0 s, running, at the speed chosen.
    setAnimationSpeed(2);
    pauseAnimationTimer();
    resetAnimationTimer();
    clock.advance(100);
    EXPECT_EQ(animationTimeMilliseconds(), 200);
}
