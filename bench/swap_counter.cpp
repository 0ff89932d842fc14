// Preloaded into the real program (LD_PRELOAD) to count the frames it shows in each second of
// wall-clock time: wraps glutSwapBuffers and writes the counts to $SWAP_COUNTS at exit.
// tools/bench-fullscreen uses it to find the slowest second of the show in full screen.
#include <GL/freeglut.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<int> gCounts;
std::chrono::steady_clock::time_point gStart;

void writeCounts() {
    const char* path = std::getenv("SWAP_COUNTS");
    if (FILE* file = path ? std::fopen(path, "w") : nullptr) {
        for (int count : gCounts) {
            std::fprintf(file, "%d\n", count);
        }
        std::fclose(file);
    }
}

} // namespace

extern "C" void glutSwapBuffers() {
    using real_t = void (*)();
    static real_t real = reinterpret_cast<real_t>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    auto now = std::chrono::steady_clock::now();
    if (gCounts.empty()) {
        gStart = now;
        std::atexit(writeCounts);
    }
    size_t second = size_t(std::chrono::duration<double>(now - gStart).count());
    if (gCounts.size() <= second) {
        gCounts.resize(second + 1, 0);
    }
    ++gCounts[second];
    real();
}
