// lumenfold-movie's command line and how a range is split among parallel parts.
#include "basicsource/movie_options.h"
#include "basicsource/platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

movieCommandResult parse(std::vector<const char*> args, movieCommand& command) {
    args.insert(args.begin(), "lumenfold-movie");
    return parseMovieCommand(int(args.size()), args.data(), command);
}

std::string refusal(std::vector<const char*> args) {
    movieCommand command;
    movieCommandResult result = parse(args, command);
    return result.ok ? "accepted" : result.error;
}

} // namespace

TEST(MovieCommand, DefaultsToTheWholeShowAtTheClassicSize) {
    movieCommand command;
    ASSERT_TRUE(parse({}, command).ok);
    EXPECT_EQ(command.width, 720);
    EXPECT_EQ(command.height, 576);
    EXPECT_EQ(command.samples, 1);
    EXPECT_EQ(command.crf, 23);
    EXPECT_EQ(command.jobs, 0);
    EXPECT_EQ(command.from, 0);
    EXPECT_EQ(command.to, 130);
    EXPECT_EQ(command.output, "movie/lumenfold.mp4");
}

TEST(MovieCommand, ReadsSizeQualityJobsAndParts) {
    movieCommand command;
    ASSERT_TRUE(parse({"--size", "3840x2160", "--aa", "4", "--crf", "18", "--jobs", "3", "--from",
                       "10.5", "--to", "20", "--fps", "50"},
                      command)
                    .ok);
    EXPECT_EQ(command.width, 3840);
    EXPECT_EQ(command.height, 2160);
    EXPECT_EQ(command.samples, 4);
    EXPECT_EQ(command.crf, 18);
    EXPECT_EQ(command.jobs, 3);
    EXPECT_FLOAT_EQ(command.from, 10.5f);
    EXPECT_EQ(command.fps, 50);

    movieCommand join;
    ASSERT_TRUE(parse({"--join", "a.mp4", "b.mp4", "--output", "all.mp4"}, join).ok);
    EXPECT_EQ(join.join, (std::vector<std::string>{"a.mp4", "b.mp4"}));
    EXPECT_EQ(join.output, "all.mp4");
    movieCommand smallest;
    EXPECT_TRUE(parse({"--size", "16x16"}, smallest).ok);
}

TEST(MovieCommand, RefusesBadValuesSayingWhatIsWanted) {
    for (const char* size : {"1921x1080", "1920x1081", "3842x2160", "3840x2162", "14x16",
                             "1920", "x1080", "1920x", "1920x1080p", "-16x16", ""}) {
        EXPECT_EQ(refusal({"--size", size}),
                  std::string("--size takes an even WxH from 16x16 to 3840x2160, not '") + size + "'");
    }
    EXPECT_EQ(refusal({"--aa", "0"}), "--aa takes a number of samples from 1 to 64, not '0'");
    EXPECT_EQ(refusal({"--crf", "52"}), "--crf takes a quality from 0 (lossless) to 51, not '52'");
    EXPECT_EQ(refusal({"--jobs", "two"}), "--jobs takes a number of processes from 1 to 256, not 'two'");
    EXPECT_EQ(refusal({"--from", "-1"}), "--from takes a time in seconds, 0 or more, not '-1'");
    EXPECT_EQ(refusal({"--from", "20", "--to", "10"}), "--to must not come before --from");
    EXPECT_EQ(refusal({"--join"}), "--join needs the parts to join");
    EXPECT_EQ(refusal({"--aa"}), "--aa needs a value");
    EXPECT_EQ(refusal({"--colour", "red"}), "unknown option '--colour'");
}

TEST(ChunkRuns, SplitTheRangeOnTheChunkGridWhateverItsEnds) {
    using runs = std::vector<std::pair<int, int>>;
    ASSERT_EQ(kMovieChunkFrames, 250);
    // The whole show (3251 frames, 14 chunks): cut at the boundaries nearest to even shares.
    EXPECT_EQ(splitIntoChunkRuns(0, 3250, 2), (runs{{0, 1749}, {1750, 3250}}));
    EXPECT_EQ(splitIntoChunkRuns(0, 3250, 3), (runs{{0, 999}, {1000, 2249}, {2250, 3250}}));
    // Frames that cost more weigh more: with the first half nearly free, the cut moves late.
    auto lateHeavy = [](int frame) { return frame < 1625 ? 0.1 : 1.0; };
    EXPECT_EQ(splitIntoChunkRuns(0, 3250, 2, lateHeavy), (runs{{0, 2249}, {2250, 3250}}));
    // A range inside one chunk is one run, however many jobs are offered.
    EXPECT_EQ(splitIntoChunkRuns(250, 275, 4), (runs{{250, 275}}));
    // Ends off the grid are kept; the boundaries between runs stay on it.
    EXPECT_EQ(splitIntoChunkRuns(225, 275, 2), (runs{{225, 249}, {250, 275}}));
    EXPECT_EQ(splitIntoChunkRuns(10, 5, 2), runs{});
    // Every frame exactly once, in order, for any number of jobs.
    for (int jobs = 1; jobs <= 16; ++jobs) {
        int next = 117;
        for (auto [from, to] : splitIntoChunkRuns(117, 2999, jobs)) {
            EXPECT_EQ(from, next);
            EXPECT_GE(to, from);
            EXPECT_TRUE(from == 117 || from % 250 == 0);
            next = to + 1;
        }
        EXPECT_EQ(next, 3000);
    }
}
