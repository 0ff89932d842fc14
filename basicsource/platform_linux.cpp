// The Linux platform layer: the monotonic clock, where the data files are (beside the working
// directory or the executable), replacing a file in one step and the heap's trimming. The shared logic over them is in
// platform.cpp; the sound in audio_sdl.cpp, files and folders in files_linux.cpp, the window in
// window_freeglut.cpp.
#include "basicsource/platform.h"

#include "basicsource/resource_lookup.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

void platformInitialise() {
    // The GL driver's immediate-mode buffers shrink and regrow every frame; letting glibc give
    // the top of the heap back each time costs dozens of brk calls a frame. Keep it.
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
}

void platformWindup() { shutdownMusic(); }

void platformEndProgram() {
    platformWindup();
    std::exit(0);
}

int32_t platformClockMilliseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t ms = uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec / 1000000);
    // Kept to 32 bits like the tick counts; differences stay right across the wrap.
    return int32_t(uint32_t(ms));
}

bool platformReplaceFile(const std::string& made, const std::string& name) {
    return std::rename(made.c_str(), name.c_str()) == 0; // atomic on one file system
}

std::string platformResourceDirectory() {
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string executableDirectory;
    if (length > 0) {
        executableDirectory.assign(exe, size_t(length));
        executableDirectory.erase(executableDirectory.find_last_of('/'));
    }
    return chooseResourceDirectory(executableDirectory, [](const std::string& path) {
        struct stat info;
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    });
}

