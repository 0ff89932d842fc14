// The render's progress in words, on a clock the test moves: a live line redrawn a few times a
// second on a terminal, a plain line at each tenth in a log, the time left from the rate so far.
#include "moviemaker/movie_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(MovieProgress, SaysFramesPercentRateAndTimeLeft) {
    EXPECT_EQ(describeProgress(120, 250, 10),
              "frame 120 of 250 (48%), 12.0 frames a second, 0:11 left");
    // Long renders count hours; nothing done yet has no rate to tell.
    EXPECT_EQ(describeProgress(10, 3251, 100),
              "frame 10 of 3251 (0%), 0.1 frames a second, 9:00:10 left");
    EXPECT_EQ(describeProgress(0, 3251, 5), "frame 0 of 3251 (0%)");
    EXPECT_EQ(describeProgress(3251, 3251, 65),
              "frame 3251 of 3251 (100%), 50.0 frames a second, 0:00 left");
}

TEST(MovieProgress, OnATerminalOneLineIsRedrawnInPlaceAFewTimesASecond) {
    movieProgress progress(100, true, 1000);
    EXPECT_EQ(progress.update(0, 1000.1), "") << "nothing to say before the first frame";
    EXPECT_EQ(progress.update(1, 1000.5),
              "\rframe 1 of 100 (1%), 2.0 frames a second, 0:50 left\033[K");
    // Within a quarter of a second nothing is drawn, however many frames came.
    EXPECT_EQ(progress.update(5, 1000.6), "");
    EXPECT_EQ(progress.update(9, 1000.74), "");
    EXPECT_EQ(progress.update(10, 1000.75),
              "\rframe 10 of 100 (10%), 13.3 frames a second, 0:07 left\033[K");
    // The same count again is not redrawn; the last frame always is.
    EXPECT_EQ(progress.update(10, 1002), "");
    EXPECT_EQ(progress.update(100, 1002.1).substr(0, 24), "\rframe 100 of 100 (100%)");
    EXPECT_EQ(progress.finish(), "\r\033[K") << "the line is cleared for the summary";
    EXPECT_EQ(movieProgress(100, true, 0).finish(), "") << "nothing drawn, nothing to clear";
}

TEST(MovieProgress, InALogALineAtEachTenthOnly) {
    movieProgress progress(51, false, 0);
    std::vector<std::string> lines;
    for (int done = 1; done <= 51; ++done) {
        // A clock far faster than a quarter of a second a frame: the tenths alone decide.
        if (std::string line = progress.update(done, done * 0.001); !line.empty()) {
            lines.push_back(line);
        }
    }
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0],
              "lumenfold-movie: frame 6 of 51 (11%), 1000.0 frames a second, 0:00 left\n");
    EXPECT_EQ(lines[9].substr(0, 38), "lumenfold-movie: frame 51 of 51 (100%)");
    EXPECT_EQ(progress.finish(), "");
    // Counts from parts come in jumps: one line for each jump past a tenth, never a repeat.
    movieProgress jumps(100, false, 0);
    EXPECT_EQ(jumps.update(35, 1).substr(0, 38), "lumenfold-movie: frame 35 of 100 (35%)");
    EXPECT_EQ(jumps.update(39, 2), "");
    EXPECT_EQ(jumps.update(40, 3).substr(0, 38), "lumenfold-movie: frame 40 of 100 (40%)");
    EXPECT_EQ(jumps.update(40, 4), "");
}
