// The movie renderer: frames are the same on every run, each frame is posed at exactly its own
// show time, the movie shows the show alone whatever the window shows or the user presses, a
// cancelled or failed render leaves every file as it was, a frame the driver cannot give is
// refused, and PNG frames go only where asked, into a new folder.
#include "basicsource/files.h"
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "common/picture.h"
#include "helpers/pictures_dir.h"
#include "helpers/show_runner.h"
#include "moviemaker/movie.h"
#include "moviemaker/movie_window.h"
#include "moviemaker/offscreen_frame.h"
#include "player/overlays.h"
#include "player/playback.h"

#include <gtest/gtest.h>
// After gtest: X's headers define None and Bool, which gtest uses as names.
#include <GL/freeglut.h>
#include <GL/glx.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Keeps every frame in memory, and the status line as it stood when the frame was handed over.
class memorySink : public movieSink {
  public:
    explicit memorySink(int width = kWindowWidth, int height = kWindowHeight)
        : bytes(size_t(width) * size_t(height) * 3) {}
    bool writeFrame(const unsigned char* rgb) override {
        frames.emplace_back(rgb, rgb + bytes);
        char line[64];
        formatStatusLine(line, sizeof line);
        statusLines.push_back(line);
        blockTranslucent.push_back(triangleTranslucent && triangleTranslucent->isTranslucent());
        return true;
    }
    bool finish() override { return finished = true; }
    void cancel() override { cancelled = true; }

    std::vector<std::vector<unsigned char>> frames;
    std::vector<std::string> statusLines;
    std::vector<bool> blockTranslucent;
    bool finished = false;
    bool cancelled = false;
    size_t bytes;
};

// Every name in a folder (hidden ones included) with the file's contents.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            struct stat info;
            if (n == "." || n == ".." || lstat((dir + "/" + n).c_str(), &info) != 0) {
                continue;
            }
            if (S_ISDIR(info.st_mode)) {
                files[n] = "(a folder)";
            } else {
                std::ifstream in(dir + "/" + n, std::ios::binary);
                files[n] = std::string(std::istreambuf_iterator<char>(in), {});
            }
        }
        closedir(d);
    }
    return files;
}

std::set<std::string> filesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : snapshot(dir)) {
        names.insert(entry.first);
    }
    return names;
}

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A new scratch folder for one test.
std::string scratchFolder(const char* name) {
    std::string dir = testing::TempDir() + name + std::to_string(getpid());
    std::system(("rm -rf '" + dir + "'").c_str());
    mkdir(dir.c_str(), 0755);
    return dir;
}

// PATH without ffmpeg while it lives.
class noEncoderOnPath {
  public:
    explicit noEncoderOnPath(const std::string& empty) {
        const char* path = std::getenv("PATH");
        saved = path ? path : "";
        setenv("PATH", empty.c_str(), 1);
    }
    ~noEncoderOnPath() { setenv("PATH", saved.c_str(), 1); }

  private:
    std::string saved;
};

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
        gWireFrameOnly = false;
        setStatusNotice("");
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    static movieSettings range(float from, float to) {
        movieSettings settings;
        settings.from = from;
        settings.to = to;
        return settings;
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

// Arrow keys sent to this program's window, waited for until the X server has queued them here
// (they are handled by whatever key callback is installed when events are next processed).
// The window needs a display callback by then.
bool sendArrowKeys(int count) {
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    std::string keys;
    for (int i = 0; i < count; ++i) {
        keys += " Right";
    }
    const std::string command =
        "xdotool key --window " + std::to_string(window) + keys + " >/dev/null 2>&1";
    // GLUT shows a new window only when it first processes events; keys reach shown windows.
    glutMainLoopEvent();
    XSync(display, False);
    const int queued = XPending(display);
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << command << " failed";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (XPending(display) < queued + 2 * count) { // a press and a release for each
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << XPending(display) << " events queued after " << command;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
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
    movieSettings options = range(0, 2.0f);
    options.fps = 10;
    renderShowMovie(options, &sink);
    ASSERT_EQ(sink.statusLines.size(), 21u);
    for (size_t n = 0; n < sink.statusLines.size(); ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "Time: %0.1f", double(n) / 10);
        EXPECT_NE(sink.statusLines[n].find(expected), std::string::npos) << sink.statusLines[n];
        EXPECT_EQ(sink.statusLines[n].rfind("Frame: " + std::to_string(n) + ",", 0), 0u);
    }
    // The last frame of the show is at 130 s; the program's mode is as it was afterwards.
    memorySink end;
    renderShowMovie(range(129.92f, 131), &end);
    EXPECT_EQ(end.frames.size(), 3u);
    EXPECT_EQ(end.statusLines.back().find("Time: 130.0") != std::string::npos, true)
        << end.statusLines.back();
    EXPECT_EQ(gProgramMode, kpmMakingMovie);
}

TEST_F(Movie, ACancelledRenderKeepsThePreviousMovie) {
    std::string dir = scratchFolder("movie_cancel_");
    std::string output = dir + "/lumenfold.mp4";
    std::ofstream(output) << "the previous movie";
    movieSettings options = range(10, 14);
    options.output = output;
    int asked = 0;
    movieHooks hooks;
    hooks.cancelRequested = [&asked] { return ++asked > 20; };
    movieReport report = renderShowMovie(options, nullptr, hooks);
    EXPECT_TRUE(report.cancelled);
    EXPECT_FALSE(report.completed);
    EXPECT_EQ(report.frames, 20);
    EXPECT_EQ(contentsOf(output), "the previous movie");
    EXPECT_EQ(filesIn(dir), std::set<std::string>{"lumenfold.mp4"});
}

TEST_F(Movie, WithoutFfmpegAMovieIsRefusedAndNoFileIsTouched) {
    std::string dir = scratchFolder("movie_noffmpeg_");
    std::ofstream(dir + "/frame-12345.png") << "a user's own picture";
    std::ofstream(dir + "/frame-00000.png") << "another of the user's pictures";
    std::ofstream(dir + "/lumenfold.mp4") << "the previous movie";
    const auto before = snapshot(dir);
    movieReport report;
    {
        noEncoderOnPath noFfmpeg(dir); // nothing called ffmpeg there
        movieSettings options = range(20, 20.1f);
        options.output = dir + "/lumenfold.mp4";
        report = renderShowMovie(options);
    }
    EXPECT_FALSE(report.completed);
    EXPECT_NE(report.error.find("ffmpeg"), std::string::npos) << report.error;
    EXPECT_NE(report.error.find("--frames"), std::string::npos) << report.error;
    EXPECT_EQ(snapshot(dir), before);
}

TEST_F(Movie, FramesGoOnlyIntoANewOrEmptyFolderOfTheirOwn) {
    std::string dir = scratchFolder("movie_frames_");
    std::ofstream(dir + "/frame-00007.png") << "a user's own picture";
    movieReport report;
    movieSettings options = range(20, 20.1f);
    {
        noEncoderOnPath noFfmpeg(dir); // PNG frames need no encoder
        options.framesDirectory = dir + "/frames";
        report = renderShowMovie(options);
    }
    EXPECT_TRUE(report.completed) << report.error;
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"frame-00007.png", "frames"}));
    EXPECT_EQ(filesIn(dir + "/frames"), (std::set<std::string>{"frame-00000.png",
                                                               "frame-00001.png",
                                                               "frame-00002.png"}));
    EXPECT_EQ(contentsOf(dir + "/frames/frame-00000.png").substr(1, 3), "PNG");
    struct stat info;
    ASSERT_EQ(stat((dir + "/frames").c_str(), &info), 0);
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0777 & ~mask) << "not the mode of any new folder";

    // A folder with anything in it is left alone: no frame replaced, none added.
    const auto earlier = snapshot(dir + "/frames");
    report = renderShowMovie(options);
    EXPECT_FALSE(report.completed);
    EXPECT_NE(report.error.find("already holds files"), std::string::npos) << report.error;
    EXPECT_EQ(snapshot(dir + "/frames"), earlier);
    EXPECT_EQ(filesIn(dir), (std::set<std::string>{"frame-00007.png", "frames"}));
}

TEST_F(Movie, AFrameTheDriverCannotGiveIsRefusedBeforeAnythingIsWritten) {
    offscreenFrame tooMany(64, 64, maximumSamples() * 2);
    EXPECT_NE(tooMany.problem().find("framebuffer status"), std::string::npos)
        << tooMany.problem();
    offscreenFrame tooLarge(maximumFrameSide() + 2, 16, 1);
    EXPECT_FALSE(tooLarge.problem().empty());
    offscreenFrame fine(64, 64, std::min(4, maximumSamples()));
    EXPECT_EQ(fine.problem(), "");
    EXPECT_GE(fine.samples(), std::min(4, maximumSamples()));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    std::string dir = scratchFolder("movie_toolarge_");
    movieSettings options = range(20, 20.1f);
    options.width = maximumFrameSide() + 2;
    options.output = dir + "/lumenfold.mp4";
    movieReport report = renderShowMovie(options);
    EXPECT_FALSE(report.completed);
    EXPECT_FALSE(report.error.empty());
    EXPECT_EQ(filesIn(dir), std::set<std::string>{});
}

TEST_F(Movie, ShowsTheShowAloneWhateverTheWindowShowsOrTheUserPresses) {
    // 20 s: the script does not set the camera's target then, so a stray arrow key would stay
    // in every later frame.
    memorySink plain;
    renderShowMovie(range(20, 20.4f), &plain);

    installShowCallbacks();
    installPlayerOverlays();
    gTextOn = true;
    gWireFrameOnly = true;
    toggleHelp();
    showNotice("Saved screenshots/lumenfold-020.00s.png");
    ASSERT_TRUE(sendArrowKeys(5)) << "the arrow keys did not reach the window";
    memorySink fromWindow;
    movieReport report = renderMovieInWindow(range(20, 20.4f), &fromWindow);
    toggleHelp();
    EXPECT_TRUE(report.completed);
    ASSERT_EQ(fromWindow.frames.size(), plain.frames.size());
    ASSERT_EQ(plain.frames.size(), 11u);
    for (size_t i = 0; i < plain.frames.size(); ++i) {
        EXPECT_TRUE(fromWindow.frames[i] == plain.frames[i]) << "frame " << 500 + i;
    }
    EXPECT_EQ(XPending(glXGetCurrentDisplay()), 0) << "the keys were not taken by the render";
}

TEST_F(Movie, WithoutADisplayTheMovieProgramDrawsTheSameFrames) {
    // The ground and domes (84 s) and the credits (125 s), anti-aliased at high definition: here
    // through the window system's context, and by the movie program through EGL with no display.
    const int width = 1280, height = 720;
    std::string dir = scratchFolder("movie_egl_");
    for (const char* moment : {"84", "125"}) {
        movieSettings options = range(std::stof(moment), std::stof(moment));
        options.width = width;
        options.height = height;
        options.samples = 4;
        memorySink here(width, height);
        ASSERT_TRUE(renderShowMovie(options, &here).completed);
        const std::string frames = dir + "/frames-" + moment;
        const std::string command = std::string("env -u DISPLAY ") + LUMENFOLD_MOVIE_PROGRAM +
                                    " --from " + moment + " --to " + moment +
                                    " --size 1280x720 --aa 4 --frames " + frames + " 2>" + dir +
                                    "/stderr && convert " + frames +
                                    "/frame-00000.png -flip -depth 8 rgb:" + frames + ".rgb";
        ASSERT_EQ(std::system(command.c_str()), 0) << contentsOf(dir + "/stderr");
        EXPECT_NE(contentsOf(dir + "/stderr").find("rendering with"), std::string::npos);
        const std::string headless = contentsOf(frames + ".rgb");
        ASSERT_EQ(here.frames.size(), 1u);
        ASSERT_EQ(headless.size(), here.frames[0].size());
        EXPECT_TRUE(std::equal(headless.begin(), headless.end(), here.frames[0].begin(),
                               [](char a, unsigned char b) { return (unsigned char)a == b; }))
            << "at " << moment << " s";
    }
}
