// The Windows platform layer: the monotonic clock (the performance counter), where the data
// files are (the working folder's resources/, else the one beside the .exe) and replacing a
// file in one step (for the report the tests read, player/run_report.cpp). The shared logic over
// them is in basicsource/platform.cpp; the sound is in audio_winmm.cpp, files and folders in
// files_windows.cpp, the window in basicsource/window_freeglut.cpp.
#include "basicsource/platform.h"

#include "basicsource/resource_lookup.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

void platformInitialise() {}

void platformWindup() { shutdownMusic(); }

void platformEndProgram() {
    platformWindup();
    std::exit(0);
}

int32_t platformClockMilliseconds() {
    static const int64_t perSecond = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return int64_t(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const int64_t ticks = counter.QuadPart;
    // Split so that ticks * 1000 cannot overflow however long the machine has been up.
    const int64_t ms = ticks / perSecond * 1000 + ticks % perSecond * 1000 / perSecond;
    // Kept to 32 bits like the tick counts; differences stay right across the wrap.
    return int32_t(uint32_t(uint64_t(ms)));
}

bool platformReplaceFile(const std::string& made, const std::string& name) {
    return MoveFileExA(made.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

namespace {

// The .exe's folder in the ANSI code page, which the C runtime's fopen reads paths in; empty
// when it cannot be told or cannot be written in that code page.
std::string executableDirectory() {
    std::vector<wchar_t> path(MAX_PATH);
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()))) == path.size()) {
        path.resize(path.size() * 2);
    }
    if (length == 0) {
        return "";
    }
    std::wstring wide(path.data(), length);
    wide.erase(wide.find_last_of(L"\\/") == std::wstring::npos ? 0 : wide.find_last_of(L"\\/"));
    BOOL lossy = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), nullptr, 0,
                                         nullptr, &lossy);
    if (size <= 0 || lossy) {
        return "";
    }
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), &narrow[0], size, nullptr,
                        nullptr);
    return narrow;
}

} // namespace

std::string platformResourceDirectory() {
    return chooseResourceDirectory(executableDirectory(), [](const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    });
}

