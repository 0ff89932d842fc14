// lumenfold-movie's command line and how a range is split among parallel parts.
#include "moviemaker/movie_options.h"
#include "basicsource/platform.h"
#include "moviemaker/movie_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

movieCommandResult parse(std::vector<const char*> args, movieSettings& command) {
    args.insert(args.begin(), "lumenfold-movie");
    return parseMovieCommand(int(args.size()), args.data(), command);
}

std::string refusal(std::vector<const char*> args) {
    movieSettings command;
    movieCommandResult result = parse(args, command);
    return result.ok ? "accepted" : result.error;
}

} // namespace

TEST(MovieCommand, DefaultsToTheWholeShowAtTheClassicSize) {
    movieSettings command;
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
    movieSettings command;
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

    movieSettings join;
    ASSERT_TRUE(parse({"--join", "a.mp4", "b.mp4", "--output", "all.mp4"}, join).ok);
    EXPECT_EQ(join.join, (std::vector<std::string>{"a.mp4", "b.mp4"}));
    EXPECT_EQ(join.output, "all.mp4");
    movieSettings smallest;
    EXPECT_TRUE(parse({"--size", "16x16"}, smallest).ok);
}

TEST(MovieCommand, RefusesBadValuesSayingWhatIsWanted) {
    for (const char* size : {"1921x1080", "1920x1081", "3842x2160", "3840x2162", "14x16",
                             "1920", "x1080", "1920x", "1920x1080p", "-16x16", ""}) {
        EXPECT_EQ(refusal({"--size", size}),
                  std::string("--size takes an even WxH from 16x16 to 3840x2160, not '") + size + "'");
    }
    EXPECT_EQ(refusal({"--aa", "0"}), "--aa takes a whole number of samples from 1 to 64, not '0'");
    EXPECT_EQ(refusal({"--crf", "52"}),
              "--crf takes a whole-number quality (0 is lossless) from 0 to 51, not '52'");
    EXPECT_EQ(refusal({"--jobs", "two"}),
              "--jobs takes a whole number of processes from 1 to 256, not 'two'");
    EXPECT_EQ(refusal({"--from", "-1"}), "--from takes a time in seconds from 0 to 130, not '-1'");
    EXPECT_EQ(refusal({"--from", "20", "--to", "10"}), "--to must not come before --from");
    EXPECT_EQ(refusal({"--join"}), "--join needs the parts to join");
    EXPECT_EQ(refusal({"--aa"}), "--aa needs a value");
    EXPECT_EQ(refusal({"--colour", "red"}), "unknown option '--colour'");
    // Each option says what it wants, not what another one does.
    EXPECT_EQ(refusal({"--output", ""}), "--output takes a file name, not ''");
    EXPECT_EQ(refusal({"--frames", ""}), "--frames takes a folder, not ''");
    EXPECT_EQ(refusal({"--chunks-into", ""}), "--chunks-into takes a folder, not ''");
    EXPECT_EQ(refusal({"--first-frame", "x"}),
              "--first-frame takes a frame number from 0 to 999999, not 'x'");
}

TEST(MovieCommand, NumbersAreDecimalDigitsOnly) {
    // Spaces, signs, exponents, hexadecimal and fractions of whole numbers are refused, not
    // half-read or read as something else.
    for (const char* aa : {" 4", "4 ", "+4", "4.0", "0x8", "1e1", "4e0", "04x"}) {
        EXPECT_EQ(refusal({"--aa", aa}),
                  std::string("--aa takes a whole number of samples from 1 to 64, not '") + aa + "'");
    }
    for (const char* size : {"+1920x+1080", " 1920x1080", "1920x 1080", "0x780x0x438"}) {
        EXPECT_NE(refusal({"--size", size}), "accepted") << size;
    }
    for (const char* time : {" 5", "+5", "5s", "1e1", "0x10", "5..0"}) {
        EXPECT_NE(refusal({"--from", time}), "accepted") << time;
    }
    movieSettings ok;
    ASSERT_TRUE(parse({"--aa", "08", "--from", "0.5", "--to", "130"}, ok).ok);
    EXPECT_EQ(ok.samples, 8);
    EXPECT_FLOAT_EQ(ok.from, 0.5f);
}

TEST(MovieCommand, JoinTakesOnlyItsPartsAndAnOutput) {
    // Rendering options would be silently ignored by a join: refused wherever they stand.
    EXPECT_EQ(refusal({"--join", "a.mp4", "b.mp4", "--output", "c.mp4", "--size", "1920x1080"}),
              "--size cannot be used with --join, which only copies the parts' video");
    EXPECT_EQ(refusal({"--aa", "4", "--join", "a.mp4", "b.mp4"}),
              "--aa cannot be used with --join, which only copies the parts' video");
    EXPECT_EQ(refusal({"--join", "a.mp4", "--frames", "dir"}),
              "--frames cannot be used with --join, which only copies the parts' video");
    EXPECT_EQ(refusal({"a.mp4"}), "'a.mp4' is not an option (options start with --)");
}

TEST(MovieCommand, APartsCommandLineReadsBackAsTheSameSettings) {
    movieSettings whole;
    ASSERT_TRUE(parse({"--size", "1280x720", "--aa", "4", "--crf", "30", "--fps", "50"}, whole).ok);
    std::vector<std::string> args = partCommandLine(whole, 250, 499, "/tmp/parts");
    std::vector<const char*> argv;
    for (const std::string& a : args) {
        argv.push_back(a.c_str());
    }
    movieSettings part;
    ASSERT_TRUE(parse(argv, part).ok);
    EXPECT_EQ(part.firstFrame, 250);
    EXPECT_EQ(part.lastFrame, 499);
    EXPECT_EQ(part.chunkDirectory, "/tmp/parts");
    EXPECT_EQ(part.width, 1280);
    EXPECT_EQ(part.height, 720);
    EXPECT_EQ(part.samples, 4);
    EXPECT_EQ(part.crf, 30);
    EXPECT_EQ(part.fps, 50);
    EXPECT_EQ(part.jobs, 1);
    // A part tells its parent how far it is; a render the user starts does not.
    EXPECT_TRUE(part.reportFrames);
    EXPECT_FALSE(whole.reportFrames);
}

TEST(MovieCommand, QuietTakesNoValueAndGoesWithJoin) {
    movieSettings s;
    ASSERT_TRUE(parse({"--quiet", "--size", "64x64"}, s).ok);
    EXPECT_TRUE(s.quiet);
    EXPECT_EQ(s.width, 64);
    movieSettings j;
    EXPECT_TRUE(parse({"--join", "a.mp4", "b.mp4", "--quiet", "--output", "c.mp4"}, j).ok);
    EXPECT_EQ(j.join.size(), 2u);
}

TEST(ChunkRuns, AListedRangeIsItsChunksOnTheGridEachFrameOnce) {
    auto listed = [](std::vector<const char*> args) {
        movieSettings s;
        EXPECT_TRUE(parse(args, s).ok);
        EXPECT_TRUE(s.listChunks);
        int first = 0, last = -1;
        movieFrames(s, first, last);
        std::vector<std::vector<int>> rows;
        for (const movieChunk& c : chunksOfRange(first, last)) {
            rows.push_back({c.index, c.first, c.last});
        }
        return rows;
    };
    using rows = std::vector<std::vector<int>>;
    // 9.96 s is frame 249, the last of chunk 0; 20 s is frame 500, the first of chunk 2.
    EXPECT_EQ(listed({"--from", "9.96", "--to", "20", "--list-chunks"}),
              (rows{{0, 249, 249}, {1, 250, 499}, {2, 500, 500}}));
    // The frame rate moves the frames, not the grid; the end of the show ends the last chunk.
    EXPECT_EQ(listed({"--from", "125", "--fps", "50", "--list-chunks"}),
              (rows{{25, 6250, 6499}, {26, 6500, 6500}}));
    EXPECT_EQ(listed({"--from", "120", "--list-chunks"}), (rows{{12, 3000, 3249}, {13, 3250, 3250}}));
    EXPECT_TRUE(chunksOfRange(10, 5).empty());
    movieSettings j;
    EXPECT_FALSE(parse({"--join", "a.mp4", "--list-chunks", "--output", "c.mp4"}, j).ok);
}

TEST(ChunkRuns, TheSettingsLineSaysTheMovieWhateverTheOrderOfTheOptions) {
    auto line = [](std::vector<const char*> args) {
        movieSettings s;
        EXPECT_TRUE(parse(args, s).ok);
        int first = 0, last = -1;
        movieFrames(s, first, last);
        return movieSettingsLine(s, first, last);
    };
    const std::string given = line({"--from", "10", "--to", "30", "--size", "64x48", "--fps",
                                    "25", "--aa", "1", "--crf", "23", "--print-settings"});
    EXPECT_EQ(given, "frames 250-750 fps 25 size 64x48 aa 1 crf 23");
    // Another order, the defaults left out, a time between frames, jobs and output: the same.
    EXPECT_EQ(line({"--size", "64x48", "--to", "30.01", "--from", "9.99", "--jobs", "3",
                    "--output", "elsewhere.mp4"}),
              given);
    // Whatever changes the file changes the line.
    for (std::vector<const char*> other :
         {std::vector<const char*>{"--fps", "50"}, {"--size", "64x64"}, {"--aa", "4"},
          {"--crf", "30"}, {"--to", "29.96"}}) {
        std::vector<const char*> args = {"--from", "10", "--to", "30", "--size", "64x48"};
        args.insert(args.end(), other.begin(), other.end());
        EXPECT_NE(line(args), given) << other[0] << " " << other[1];
    }
    EXPECT_EQ(movieChunkName(3), "chunk-000003.mp4");
    EXPECT_EQ(movieChunkName(123456), "chunk-123456.mp4");
    // Only an --output on the command line is checked by --list-chunks, not the default.
    movieSettings listed, toFile;
    ASSERT_TRUE(parse({"--list-chunks"}, listed).ok);
    EXPECT_FALSE(listed.outputGiven);
    ASSERT_TRUE(parse({"--list-chunks", "--output", "m.mp4"}, toFile).ok);
    EXPECT_TRUE(toFile.outputGiven);
    movieSettings j;
    EXPECT_FALSE(parse({"--join", "a.mp4", "--print-settings", "--output", "c.mp4"}, j).ok);
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
