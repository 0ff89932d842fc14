// The movie renderer: frames are the same on every run, each frame is posed at exactly its own
// show time, a cancelled render leaves the previous movie alone, and without ffmpeg the frames
// become PNG files.
#include "basicsource/main.h"
#include "basicsource/frame_capture.h"
#include "basicsource/movie.h"
#include "helpers/pictures_dir.h"
#include "basicsource/scene.h"
#include "helpers/show_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Keeps every frame in memory, and the status line as it stood when the frame was handed over.
class memorySink : public movieSink {
  public:
    bool writeFrame(const unsigned char* rgb) override {
        frames.emplace_back(rgb, rgb + size_t(kWindowWidth) * kWindowHeight * 3);
        char line[64];
        formatStatusLine(line, sizeof line);
        statusLines.push_back(line);
        blockTranslucent.push_back(triangleTranslucent && triangleTranslucent->isTranslucent());
        return true;
    }
    bool finish() override { return finished = true; }
    void cancel() override { cancelled = true; }
    std::string describe() const override { return "memory"; }

    std::vector<std::vector<unsigned char>> frames;
    std::vector<std::string> statusLines;
    std::vector<bool> blockTranslucent;
    bool finished = false;
    bool cancelled = false;
};

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..") {
                names.insert(n);
            }
        }
        closedir(d);
    }
    return names;
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Movie : public testing::Test {
  protected:
    void SetUp() override {
        gProgramMode = kpmMakingMovie;
        gTextOn = false;
    }
    void TearDown() override {
        destroyScene();
        gProgramMode = kpmAtStart;
        gTextOn = false;
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    static movieOptions range(float from, float to) {
        movieOptions options;
        options.from = from;
        options.to = to;
        return options;
    }
};

// Mean brightness of the pixels lit in `after` that were black in `before` (all lit pixels when
// `before` is null), and how many there are.
double meanOfLit(const std::vector<unsigned char>* before, const std::vector<unsigned char>& after,
                 long* count) {
    double sum = 0;
    *count = 0;
    for (size_t i = 0; i < after.size(); i += 3) {
        bool wasBlack = !before || ((*before)[i] | (*before)[i + 1] | (*before)[i + 2]) == 0;
        int brightness = after[i] + after[i + 1] + after[i + 2];
        if (wasBlack && brightness > 0) {
            ++*count;
            sum += brightness;
        }
    }
    return *count ? sum / double(*count) : 0;
}

} // namespace

TEST_F(Movie, FramesAreTheSameOnEveryRun) {
    memorySink first, second;
    movieReport a = renderShowMovie(range(14.0f, 16.0f), &first);
    gProgramMode = kpmMakingMovie;
    movieReport b = renderShowMovie(range(14.0f, 16.0f), &second);
    ASSERT_TRUE(a.completed);
    ASSERT_TRUE(b.completed);
    ASSERT_EQ(first.frames.size(), 51u);
    ASSERT_EQ(second.frames.size(), 51u);
    for (size_t i = 0; i < first.frames.size(); ++i) {
        EXPECT_TRUE(first.frames[i] == second.frames[i]) << "frame " << 350 + i;
    }
    // From frame 375 (15.0 s) the block is translucent. It first lies exactly over the opaque
    // element 0 of the hexagon, which appears with it; as it turns away (frame 380, 15.2 s),
    // the parts of it over the black sky are blended down to 30 % of their colour.
    for (size_t i = 0; i < first.frames.size(); ++i) {
        EXPECT_EQ(first.blockTranslucent[i], i >= 25) << "frame " << 350 + i;
    }
    for (int i : {24, 30}) {
        picture p;
        p.width = kWindowWidth;
        p.height = kWindowHeight;
        p.rgb = first.frames[size_t(i)];
        savePng(p, pictureDirectory() + "/movie-frame-" + std::to_string(350 + i) + ".png");
    }
    // Element 0 stays where the block was; what the turning block newly covers is the block
    // alone over black, blended down (its overlapping walls add up, but stay well below the
    // opaque block's brightness).
    long opaqueCount = 0, glassCount = 0;
    double opaque = meanOfLit(nullptr, first.frames[24], &opaqueCount);
    double glass = meanOfLit(&first.frames[24], first.frames[30], &glassCount);
    EXPECT_GT(opaqueCount, 1000);
    EXPECT_GT(glassCount, 100);
    EXPECT_LT(glass, 0.75 * opaque) << glass << " vs " << opaque;
}

TEST_F(Movie, EachFrameIsPosedAtItsOwnTime) {
    memorySink sink;
    gTextOn = true;
    movieOptions options = range(0, 2.0f);
    options.fps = 10;
    renderShowMovie(options, &sink);
    ASSERT_EQ(sink.statusLines.size(), 21u);
    for (size_t n = 0; n < sink.statusLines.size(); ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "Time: %0.1f", double(n) / 10);
        EXPECT_NE(sink.statusLines[n].find(expected), std::string::npos) << sink.statusLines[n];
        EXPECT_EQ(sink.statusLines[n].rfind("Frame: " + std::to_string(n) + ",", 0), 0u);
    }
    // The last frame of the show is at 130 s and ends it.
    memorySink end;
    renderShowMovie(range(129.92f, 131), &end);
    EXPECT_EQ(end.frames.size(), 3u);
    EXPECT_EQ(gProgramMode, kpmFinished);
}

TEST_F(Movie, ACancelledRenderKeepsThePreviousMovie) {
    std::string dir = testing::TempDir() + "movie_cancel_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    std::string output = dir + "/lumenfold.mp4";
    std::ofstream(output) << "the previous movie";
    movieOptions options = range(10, 14);
    options.output = output;
    int asked = 0;
    options.cancelRequested = [&asked] { return ++asked > 20; };
    movieReport report = renderShowMovie(options);
    EXPECT_TRUE(report.cancelled);
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.frames, 20);
    EXPECT_EQ(contentsOf(output), "the previous movie");
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"lumenfold.mp4"});
}

TEST_F(Movie, WithoutFfmpegTheFramesBecomePngFiles) {
    std::string dir = testing::TempDir() + "movie_png_" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    std::ofstream(dir + "/frame-00007.png") << "from an earlier render";
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir.c_str(), 1); // nothing called ffmpeg there
    movieOptions options = range(20, 20.1f);
    options.output = dir + "/lumenfold.mp4";
    movieReport report = renderShowMovie(options);
    setenv("PATH", path.c_str(), 1);
    EXPECT_TRUE(report.completed);
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"frame-00000.png", "frame-00001.png",
                                                   "frame-00002.png"}));
    EXPECT_EQ(contentsOf(dir + "/frame-00000.png").substr(1, 3), "PNG");
}
