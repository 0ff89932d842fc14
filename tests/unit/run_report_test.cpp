// The report's line as the end-to-end tests read it: names and values in pairs, and the
// timeline's rectangle in window pixels from the top left, which must be where the pointer's
// logic finds the timeline and the times it maps to.
#include "basicsource/scene.h"
#include "player/pointer.h"
#include "player/run_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>

namespace {

// The notice is the rest of the line after " notice ", as the tests read it.
const char kNotice[] = " notice ";

std::string noticeOf(const std::string& line) {
    const size_t at = line.find(kNotice);
    return at == std::string::npos ? "(none)" : line.substr(at + sizeof kNotice - 1);
}

std::map<std::string, std::string> fields(const std::string& line) {
    std::map<std::string, std::string> named;
    std::istringstream words(line.substr(0, line.find(kNotice)));
    std::string name, value;
    while (words >> name) {
        EXPECT_TRUE(words >> value) << "no value after " << name << " in: " << line;
        EXPECT_EQ(named.count(name), 0u) << name << " twice in: " << line;
        named[name] = value;
    }
    return named;
}

struct rectangle {
    int width = 0, height = 0, x = 0, y = 0;
};

rectangle timelineOf(const runState& state) {
    rectangle r;
    const std::string geometry = fields(formatRunReport(state))["timeline"];
    EXPECT_EQ(std::sscanf(geometry.c_str(), "%dx%d+%d+%d", &r.width, &r.height, &r.x, &r.y), 4)
        << geometry;
    return r;
}

} // namespace

TEST(RunReport, GivesEachValueUnderItsNameInOneLine) {
    runState state;
    state.mode = kpmPaused;
    state.showSeconds = 84.04;
    state.frames = 2101;
    state.draws = 4000000000ul;
    state.clock = -2147483647;
    state.heardSeconds = -1;
    state.windowWidth = 720;
    state.windowHeight = 576;
    const std::string line = formatRunReport(state);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    auto named = fields(line);
    EXPECT_EQ(named["mode"], "paused");
    EXPECT_EQ(named["time"], "84.040");
    EXPECT_EQ(named["frames"], "2101");
    EXPECT_EQ(named["draws"], "4000000000");
    EXPECT_EQ(named["clock"], "-2147483647");
    EXPECT_EQ(named["heard"], "-1.000");
    EXPECT_DOUBLE_EQ(std::stod(named["length"]), kShowLength);
    EXPECT_EQ(noticeOf(line), "");

    // A notice keeps its own spaces and words, even the names of fields, and stays one line.
    state.notice = "Saved C:\\Пользователи\\mode paused\\shot.png\nnext";
    const std::string noticed = formatRunReport(state);
    EXPECT_EQ(noticed.find('\n'), std::string::npos);
    EXPECT_EQ(noticeOf(noticed), "Saved C:\\Пользователи\\mode paused\\shot.png next");
    EXPECT_EQ(fields(noticed)["mode"], "paused");

    // Every mode has a one-word name of its own (the tests match them whole).
    std::map<std::string, int> seen;
    for (ProgramMode mode : {kpmAtStart, kpmAnimating, kpmMakingMovie, kpmPaused, kpmFinished}) {
        const std::string name = modeName(mode);
        EXPECT_EQ(name.find(' '), std::string::npos) << name;
        EXPECT_EQ(seen[name]++, 0) << name;
    }
    EXPECT_STREQ(modeName(kpmAnimating), "playing");
    EXPECT_STREQ(modeName(kpmAtStart), "at-start");
}

TEST(RunReport, TheTimelineItGivesIsWhereAPressFindsTheTimeline) {
    for (auto size : {std::make_pair(720, 576), std::make_pair(1920, 1080),
                      std::make_pair(1024, 768)}) {
        runState state;
        state.windowWidth = size.first;
        state.windowHeight = size.second;
        const rectangle track = timelineOf(state);
        SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
        ASSERT_GT(track.width, 0);
        ASSERT_GT(track.height, 0);
        // Its rows, counted from the top as X does, are the pointer's rows counted from the
        // bottom (GLUT gives rows from the top; the player turns them round the same way).
        const stripLayout layout = layoutStrip(size.first);
        for (int row : {track.y, track.y + track.height / 2, track.y + track.height - 1}) {
            const float up = float(size.second - 1 - row);
            for (int x : {track.x, track.x + track.width / 2, track.x + track.width - 1}) {
                EXPECT_EQ(stripPartAt(layout, false, float(x), up), stripPart::timeline)
                    << "x " << x << ", row " << row;
            }
        }
        // Across it the show's length, as the tests reckon a position's time (within the
        // second they allow, which a scene mark's pull stays inside).
        for (int share : {0, 27, 41, 50, 63, 100}) {
            const int x = track.x + track.width * share / 100;
            const double reckoned = double(x - track.x) / track.width * kShowLength;
            EXPECT_NEAR(timelineSeconds(layout.timeline, float(x)), reckoned, 1.0) << share << " %";
        }
    }
}
