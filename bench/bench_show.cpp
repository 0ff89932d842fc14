// The show's benchmark: frame times of the real AnimateScene + ViewScene path at chosen show
// times, each beside a reference that draws the same visible triangles in two vertex-array draws
// (the driver's limit for this geometry), plus launch-to-first-frame, ConstructScene, heap
// allocations per frame and the movie's speed. Every time is reported with its reference as a
// ratio, and every target with its verdict. Run it under Xvfb from the repository's root:
//
//   bench_show [--quick]            (tools/bench runs it headless)
#define GL_GLEXT_PROTOTYPES
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "moviemaker/movie.h"
#include "basicsource/platform.h"
#include "basicsource/scene.h"
#include "objects/bcc_triangle_block.h"
#include "objects/hex.h"
#include "objects/hexdome.h"
#include "objects/terrain.h"

#include <GL/freeglut.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// ---- counting heap allocations: the program's own and the driver's, every thread ------------

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* __libc_memalign(size_t, size_t);

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<long> gNews{0}; // C++ allocations: the program's own (the GL driver is C)
} // namespace

void* operator new(size_t n) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gNews.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](size_t n) { return operator new(n); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }

extern "C" void* malloc(size_t n) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return __libc_realloc(p, n);
}
extern "C" void* memalign(size_t alignment, size_t n) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    return __libc_memalign(alignment, n);
}

namespace {

using clock_type = std::chrono::steady_clock;

double millisecondsSince(clock_type::time_point start) {
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

int32_t gBenchNow = 0;
int32_t benchClock() { return gBenchNow; }

// Poses every frame at 25 fps from the current show time to `seconds`, as the movie does.
void poseUpTo(float seconds) {
    int target = int(std::lround(double(seconds) * 25));
    for (int frame = int(gBenchNow / 40) + 1; frame <= target; ++frame) {
        gBenchNow = frame * 40;
        if (gProgramMode == kpmAnimating) {
            AnimateScene();
        }
    }
}

// ---- the reference: the same visible triangles in two vertex-array draws -------------------

struct triangles {
    std::vector<float> position, normal, colour;
    size_t count() const { return position.size() / 9; }
};

void addMesh(object3D& o, const vertex* vertices, const face* faces, int faceCount, bool smooth,
             triangles& out) {
    float r, g, b, a;
    o.getColour(r, g, b, a);
    vec origin;
    o.getAbsoluteLocation(origin);
    auto put = [&](const vertex& v, const vec& faceNormal) {
        vec p = v.coordinate;
        o.getAbsoluteLocation(p);
        vec n = smooth ? v.normal : faceNormal;
        n.data[3] = 1;
        o.getAbsoluteLocation(n);
        out.position.insert(out.position.end(), {p.data[0], p.data[1], p.data[2]});
        out.normal.insert(out.normal.end(), {n.data[0] - origin.data[0], n.data[1] - origin.data[1],
                                             n.data[2] - origin.data[2]});
        out.colour.insert(out.colour.end(), {r, g, b, a});
    };
    for (int f = 0; f < faceCount; ++f) {
        const face& fc = faces[f];
        put(vertices[fc.vert[0]], fc.faceNormal);
        put(vertices[fc.vert[1]], fc.faceNormal);
        put(vertices[fc.vert[2]], fc.faceNormal);
        if (fc.vertices == 4) {
            put(vertices[fc.vert[0]], fc.faceNormal);
            put(vertices[fc.vert[2]], fc.faceNormal);
            put(vertices[fc.vert[3]], fc.faceNormal);
        }
    }
}

void collect(object3D* o, bool composedOpaque, triangles& opaque, triangles& glass) {
    if (o->isInvisible()) {
        return;
    }
    if (auto* dome = dynamic_cast<hexdome*>(o)) {
        for (int ring = 0; ring < dome->ringCount(); ++ring) {
            for (int i = 0; i < 5; ++i) {
                collect(dome->panel(ring, i), true, opaque, glass);
            }
        }
    } else if (auto* panel = dynamic_cast<hex*>(o)) {
        for (int i = 0; i < panel->blockCount(); ++i) {
            collect(panel->block(i), true, opaque, glass);
        }
    } else if (auto* block = dynamic_cast<bcc_triangle_block*>(o)) {
        // Parts of panels and domes are drawn only in the opaque pass.
        if (block->isTranslucent() && composedOpaque) {
            return;
        }
        addMesh(*block, &block->blockVertex(0), &block->blockFace(0), block->getFaceCount(), false,
                block->isTranslucent() ? glass : opaque);
    } else if (auto* ground = dynamic_cast<terrain*>(o)) {
        addMesh(*ground, &ground->gridVertex(0), &ground->gridFace(0), ground->getFaceCount(), true,
                opaque);
    }
}

void drawArrays(const triangles& t) {
    if (t.count() == 0) {
        return;
    }
    glVertexPointer(3, GL_FLOAT, 0, t.position.data());
    glNormalPointer(GL_FLOAT, 0, t.normal.data());
    glColorPointer(4, GL_FLOAT, 0, t.colour.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(t.count() * 3));
}

// One frame of the reference: the same state as ViewScene, two draws, the swap.
void referenceFrame(const triangles& opaque, const triangles& glass) {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, windowAspectRatio(), 0.1, 500);
    camera.tellGL();
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE);
    glLoadIdentity();
    light1.tellGL();
    light2.tellGL();
    light3.tellGL();
    light4.tellGL();
    glLoadIdentity();
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    drawArrays(opaque);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    drawArrays(glass);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_COLOR_MATERIAL);
    glutSwapBuffers();
}

struct timing {
    double median = 0, worst = 0;
};

template <class Frame> timing timeFrames(int count, Frame frame) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        auto start = clock_type::now();
        frame();
        glFinish(); // the software rasteriser finishes its work here
        times.push_back(millisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

// The child's part of the launch measurement: everything main() does up to the first frame
// shown, then one byte on the pipe.
int firstFrameChild(int argc, char** argv, int fd) {
    platformInitialise();
    glutInit(&argc, argv);
    openShowWindow("Lumenfold");
    ConstructScene();
    InitScene();
    resetAnimationTimer();
    ResizeWindow(kWindowWidth, kWindowHeight);
    ViewScene();
    glFinish();
    char done = 1;
    return write(fd, &done, 1) == 1 ? 0 : 1;
}

double launchToFirstFrame(const char* self) {
    int fds[2];
    if (pipe(fds) != 0) {
        return -1;
    }
    auto start = clock_type::now();
    pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        std::string fd = std::to_string(fds[1]);
        execl(self, self, "--first-frame", fd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char done = 0;
    ssize_t got = read(fds[0], &done, 1);
    double elapsed = millisecondsSince(start);
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return got == 1 ? elapsed : -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--first-frame") == 0) {
        return firstFrameChild(argc, argv, std::atoi(argv[2]));
    }
    if (argc == 4 && std::strcmp(argv[1], "--profile") == 0) {
        // A few frames at one show time, for a profiler (tools/bench-profile runs callgrind).
        platformInitialise();
        glutInit(&argc, argv);
        openShowWindow("Lumenfold profile");
        ResizeWindow(kWindowWidth, kWindowHeight);
        setClockSource(benchClock);
        ConstructScene();
        InitScene();
        resetAnimationTimer();
        gProgramMode = kpmAnimating;
        poseUpTo(float(std::atof(argv[2])));
        // Warm-up frames compile the rasteriser's code for this picture; then count.
        for (int i = 0; i < 3; ++i) {
            AnimateScene();
            ViewScene();
            glFinish();
        }
        CALLGRIND_TOGGLE_COLLECT;
        for (int i = 0; i < std::atoi(argv[3]); ++i) {
            AnimateScene();
            ViewScene();
            glFinish();
        }
        CALLGRIND_TOGGLE_COLLECT;
        return 0;
    }
    bool quick = false;
    int width = kWindowWidth, height = kWindowHeight;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            quick = true;
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc &&
                   std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2 && width >= 16 &&
                   height >= 16 && width <= 3840 && height <= 2160) {
            ++i;
        } else {
            std::fprintf(stderr, "usage: bench_show [--quick] [--size WxH]\n");
            return 2;
        }
    }
    const int framesPerSample = quick ? 3 : 15;

    std::vector<double> launches;
    for (int i = 0; i < (quick ? 1 : 5); ++i) {
        launches.push_back(launchToFirstFrame(argv[0]));
    }
    std::sort(launches.begin(), launches.end());
    double launch = launches[launches.size() / 2];

    platformInitialise();
    glutInit(&argc, argv);
    openShowWindow("Lumenfold benchmark");
    glutDisplayFunc([] {});
    glutReshapeWindow(width, height);
    for (int i = 0; i < 10; ++i) {
        glutMainLoopEvent(); // let the window take its size
    }
    ResizeWindow(width, height);
    setClockSource(benchClock);
    auto constructStart = clock_type::now();
    ConstructScene();
    double construct = millisecondsSince(constructStart);
    InitScene();
    // A jump poses a fresh cast through every earlier frame: the latest moment costs the most.
    std::vector<double> jumps;
    for (int i = 0; i < 5; ++i) {
        auto jumpStart = clock_type::now();
        poseShowAt(129960);
        jumps.push_back(millisecondsSince(jumpStart));
    }
    std::sort(jumps.begin(), jumps.end());
    rebuildCast(); // the samples below start from the opening state
    setClockSource(benchClock);
    gBenchNow = 0;
    resetAnimationTimer();
    gProgramMode = kpmAnimating;

    const float sampleTimes[] = {0, 10, 20, 30, 40, 47, 60, 75, 84, 95, 110, 125};
    std::printf("Lumenfold benchmark, %d x %d, %d frames a sample%s\n", width, height,
                framesPerSample, quick ? " (quick)" : "");
    std::printf("launch to first frame: %.0f ms (median of %zu)   ConstructScene: %.1f ms   "
                "a jump to 129.96 s: %.1f ms (median of 5)\n\n",
                launch, launches.size(), construct, jumps[2]);
    std::printf("  time  polygons  show median  worst    fps | reference median  triangles | ratio\n");
    double worstRatio = 0, slowestFps = 1e9, slowestEarlyFps = 1e9;
    long allocationsPerFrame = 0, ownAllocationsPerFrame = 0;
    float heaviestTime = 0;
    double heaviestMedian = 0;
    for (float t : sampleTimes) {
        poseUpTo(t);
        // The show's frame: the clock stays at t, so every repetition draws the same picture.
        timing show = timeFrames(framesPerSample, [] {
            AnimateScene();
            ViewScene();
        });
        uint32_t polygons = gPolygonCount;
        gAllocations = 0;
        gNews = 0;
        gCounting = true;
        AnimateScene();
        ViewScene();
        glFinish();
        gCounting = false;
        allocationsPerFrame = std::max(allocationsPerFrame, gAllocations.load());
        ownAllocationsPerFrame = std::max(ownAllocationsPerFrame, gNews.load());

        triangles opaque, glass;
        for (object3D* shape : shapeVector) {
            collect(shape, false, opaque, glass);
        }
        timing reference = timeFrames(framesPerSample, [&] { referenceFrame(opaque, glass); });
        double ratio = show.median / reference.median;
        double fps = 1000.0 / show.median;
        std::printf("%6.0f  %8u  %8.1f ms %6.1f ms %6.1f | %10.1f ms %10zu | %5.2f\n", double(t),
                    polygons, show.median, show.worst, fps, reference.median,
                    opaque.count() + glass.count(), ratio);
        if (show.median > heaviestMedian) {
            heaviestMedian = show.median;
            heaviestTime = t;
            worstRatio = ratio;
        }
        slowestFps = std::min(slowestFps, fps);
        if (t < 37) {
            slowestEarlyFps = std::min(slowestEarlyFps, fps);
        }
    }

    // The movie: quick mode films five seconds, the full mode the whole show.
    gProgramMode = kpmMakingMovie;
    movieSettings options;
    options.from = quick ? 40 : 0;
    options.to = quick ? 45 : 130;
    options.output = "build/bench/lumenfold.mp4";
    options.width = width;
    options.height = height;
    auto movieStart = clock_type::now();
    movieReport movie = renderShowMovie(options);
    double movieSeconds = millisecondsSince(movieStart) / 1000;
    double movieFps = movie.frames / movieSeconds;
    std::printf("\nmovie (%.0f to %.0f s): %d frames in %.1f s = %.1f frames a second "
                "(render %.1f s, readback %.1f s, encode %.1f s; x264 preset veryfast)%s\n",
                double(options.from), double(options.to), movie.frames, movieSeconds, movieFps,
                movie.renderSeconds, movie.readbackSeconds, movie.encodeSeconds,
                movie.completed ? "" : " - NOT COMPLETED");
    std::printf("heap allocations in one steady frame (the worst sample): %ld by the program, "
                "%ld in all (the GL driver's included: Mesa allocates on every glPushAttrib)\n\n",
                ownAllocationsPerFrame, allocationsPerFrame);

    std::printf("targets:\n");
    std::printf("  heaviest frame (%.0f s) <= 1.2 x its reference: %.2f x  %s\n",
                double(heaviestTime), worstRatio, verdict(worstRatio <= 1.2));
    std::printf("  >= 30 fps at every sampled time: slowest %.1f fps  %s\n", slowestFps,
                verdict(slowestFps >= 30));
    std::printf("  >= 60 fps while no terrain is visible (0 to 37 s): slowest %.1f fps  %s\n",
                slowestEarlyFps, verdict(slowestEarlyFps >= 60));
    std::printf("  0 heap allocations per steady frame by the program: %ld  %s (driver: %ld)\n",
                ownAllocationsPerFrame, verdict(ownAllocationsPerFrame == 0), allocationsPerFrame);
    std::printf("  launch to first frame < 150 ms: %.0f ms  %s\n", launch, verdict(launch < 150));
    std::printf("  movie >= 25 frames a second with encoding: %.1f  %s\n", movieFps,
                verdict(movieFps >= 25 && movie.completed));
    return movie.completed ? 0 : 1;
}
