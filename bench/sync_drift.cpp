// How far the sound heard drifts from the picture shown: plays the real show at 1x with the
// soundtrack through SDL's disk driver (a device that "plays" by writing to a file in real time)
// and, twice a second, finds the samples written last in the soundtrack to learn what is being
// heard, beside the show time at that moment. First the whole show, then 20 jumps while it plays.
// It takes about three minutes of real time. Run it under Xvfb from the repository's root:
//
//   sync_drift            (tools/bench --sync runs it headless)
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/platform.h"
#include "player/playback.h"
#include "basicsource/scene.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const size_t kHeader = 44, kBytesPerSecond = 176400, kNeedle = 4096;
std::vector<char> gTrack; // the soundtrack's samples
std::string gPlayed;

std::vector<char> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Seconds into the soundtrack of the last bytes the device took, searched near `expected`;
// negative when they cannot be placed (silence, or not written yet).
double heardSeconds(double expected) {
    struct stat info;
    if (stat(gPlayed.c_str(), &info) != 0 || size_t(info.st_size) < kNeedle) {
        return -1;
    }
    std::ifstream in(gPlayed, std::ios::binary);
    std::vector<char> needle(kNeedle);
    in.seekg(info.st_size - off_t(kNeedle));
    in.read(needle.data(), long(kNeedle));
    if (std::all_of(needle.begin(), needle.end(), [](char c) { return c == 0; })) {
        return -1;
    }
    const long centre = long(expected * kBytesPerSecond) / 4 * 4;
    const long reach = 3 * long(kBytesPerSecond);
    for (long d = 0; d <= reach; d += 4) {
        for (long at : {centre + d, centre - d}) {
            if (at >= 0 && size_t(at) + kNeedle <= gTrack.size() &&
                std::memcmp(gTrack.data() + at, needle.data(), kNeedle) == 0) {
                return double(at + long(kNeedle)) / kBytesPerSecond;
            }
        }
    }
    return -1;
}

// Plays frames for `seconds` of real time, sampling the drift twice a second into `drifts`.
void playFor(double seconds, std::vector<double>* drifts) {
    auto start = std::chrono::steady_clock::now(), next = start;
    while (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() <
           seconds) {
        NextFrame();
        glutMainLoopEvent();
        if (drifts && std::chrono::steady_clock::now() >= next) {
            next += std::chrono::milliseconds(500);
            double shown = getAnimationTime(), heard = heardSeconds(shown);
            if (heard >= 0 && shown > 1 && shown < 125) {
                drifts->push_back(heard - shown);
            }
        }
    }
}

void report(const char* what, std::vector<double> drifts) {
    if (drifts.empty()) {
        std::printf("%s: no samples could be placed\n", what);
        return;
    }
    double worst = 0, sum = 0;
    for (double d : drifts) {
        worst = std::max(worst, std::fabs(d));
        sum += d;
    }
    std::sort(drifts.begin(), drifts.end());
    std::printf("%s: %zu samples, sound minus picture: median %+.1f ms, mean %+.1f ms, range "
                "%+.1f to %+.1f ms, worst |drift| %.1f ms\n",
                what, drifts.size(), 1000 * drifts[drifts.size() / 2], 1000 * sum / double(drifts.size()),
                1000 * drifts.front(), 1000 * drifts.back(), 1000 * worst);
}

} // namespace

int main(int argc, char** argv) {
    gPlayed = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
              "/lumenfold-sync-drift.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", gPlayed.c_str(), 1);
    std::vector<char> wav = slurp(soundtrackFile());
    if (wav.size() <= kHeader) {
        std::fprintf(stderr, "sync_drift: no soundtrack at %s (the build makes it)\n",
                     soundtrackFile().c_str());
        return 1;
    }
    gTrack.assign(wav.begin() + long(kHeader), wav.end());

    glutInit(&argc, argv);
    platformInitialise();
    openShowWindow("Lumenfold sync");
    glutDisplayFunc(ViewScene);
    glutReshapeFunc(ResizeWindow);
    ResizeWindow(gWindowWidth, gWindowHeight);
    ConstructScene();
    InitScene();
    std::printf("the device takes %u-sample buffers (%.1f ms); a sample is placed by the last "
                "%zu bytes the device took\n",
                1024u, 1024 * 1000.0 / 44100, kNeedle);

    std::vector<double> whole, jumps;
    KeyPress('a', 0, 0);
    playFor(double(kShowLength) - 2, &whole);
    report("whole show at 1x", whole);

    std::mt19937 random(20261208);
    KeyPress('a', 0, 0);
    for (int jump = 0; jump < 20; ++jump) {
        jumpTo(std::uniform_real_distribution<double>(2, 120)(random));
        playFor(0.9, nullptr);
        std::vector<double> after;
        playFor(1.1, &after);
        jumps.insert(jumps.end(), after.begin(), after.end());
    }
    report("1 to 2 s after each of 20 jumps", jumps);
    platformWindup();
    std::remove(gPlayed.c_str());
    return 0;
}
