// The report file through the real keys and frames on a controllable clock: it says a mode only
// once a frame of that mode is in the window, counts redraws of a paused show, holds the paused
// time while the clock runs on, and a report that cannot be written is said once.
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "player/playback.h"
#include "player/run_report.h"
#include "helpers/fake_clock.h"
#include "helpers/recording_audio.h"
#include "helpers/show_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

class RunReport : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lumenfold-report-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        file = dir + "/report";
        reportTo(file);
        rebuildScene();
        setAudioBackend(&music);
        gProgramMode = kpmAtStart;
        resetAnimationTimer();
    }
    void TearDown() override {
        unsetenv("LUMENFOLD_REPORT");
        startRunReport();
        destroyScene();
        setAudioBackend(nullptr);
        gProgramMode = kpmAtStart;
        std::remove(file.c_str());
        rmdir(dir.c_str());
    }
    void reportTo(const std::string& path) {
        setenv("LUMENFOLD_REPORT", path.c_str(), 1);
        startRunReport();
    }
    std::map<std::string, std::string> report() {
        std::ifstream in(file);
        std::string line, name, value;
        std::getline(in, line);
        std::istringstream words(line);
        std::map<std::string, std::string> named;
        while (words >> name >> value) {
            named[name] = value;
        }
        return named;
    }
    std::string dir, file;
    recordingBackend music;
    fakeClock clock;
};

} // namespace

TEST_F(RunReport, SaysAModeOnlyOnceAFrameOfItIsShownAndCountsEveryRedraw) {
    EXPECT_NE(access(file.c_str(), F_OK), 0) << "a report before any frame was shown";
    ViewScene();
    EXPECT_EQ(report()["mode"], "at-start");
    EXPECT_EQ(report()["draws"], "1");

    KeyPress('a', 0, 0);
    clock.advance(2000);
    music.heard = 2.01;
    NextFrame();
    auto playing = report();
    EXPECT_EQ(playing["mode"], "playing");
    EXPECT_EQ(playing["time"], "2.000");
    EXPECT_EQ(playing["frames"], "1");
    EXPECT_EQ(playing["draws"], "2");
    EXPECT_EQ(playing["heard"], "2.010");
    EXPECT_EQ(playing["clock"], std::to_string(clock.now()));

    // p changes the mode at once, but the window still shows a playing frame until it redraws.
    KeyPress('p', 0, 0);
    EXPECT_EQ(report()["mode"], "playing");
    ViewScene();
    EXPECT_EQ(report()["mode"], "paused");
    EXPECT_EQ(report()["draws"], "3");
    // Redraws while paused are counted, and show the same moment however long the pause lasts.
    clock.advance(5000);
    ViewScene();
    auto still = report();
    EXPECT_EQ(still["mode"], "paused");
    EXPECT_EQ(still["time"], "2.000");
    EXPECT_EQ(still["frames"], "1");
    EXPECT_EQ(still["draws"], "4");
    EXPECT_NE(access((file + ".new").c_str(), F_OK), 0) << "the report's new copy was left";
}

TEST_F(RunReport, TheEndIsReportedWithTheLastFrame) {
    KeyPress('a', 0, 0);
    jumpTo(kShowLength - 0.1);
    clock.advance(200);
    NextFrame();
    EXPECT_EQ(report()["mode"], "finished");
    EXPECT_GE(std::stod(report()["time"]), kShowLength);
}

TEST_F(RunReport, AReportThatCannotBeWrittenIsSaidOnceAndTheShowGoesOn) {
    reportTo(dir + "/no-such-folder/report");
    testing::internal::CaptureStderr();
    ViewScene();
    ViewScene();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "lumenfold: the report file " + dir +
                        "/no-such-folder/report cannot be written; no more reports\n");

    // Without the variable there is no report at all.
    unsetenv("LUMENFOLD_REPORT");
    startRunReport();
    ViewScene();
    EXPECT_NE(access(file.c_str(), F_OK), 0);
}
