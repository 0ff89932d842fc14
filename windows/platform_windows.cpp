// The Windows platform layer: the monotonic clock (the performance counter), where the data
// files are (the working folder's resources/, else the one beside the .exe) and replacing a
// file in one step (for the report the tests read, player/run_report.cpp). The shared logic over
// them is in basicsource/platform.cpp; the sound is in audio_winmm.cpp, files and folders in
// files_windows.cpp, the window in basicsource/window_freeglut.cpp.
#include "basicsource/platform.h"

#include "basicsource/files.h"
#include "basicsource/resource_lookup.h"
#include "windows/platform_windows.h"

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

// The .exe's folder in the process's code page, which the C runtime's fopen reads paths in:
// UTF-8 (lumenfold.manifest), so any name, on a Windows that honours the manifest (10, version
// 1903, and later). Empty when it cannot be told, or, on an earlier one, cannot be written in
// its ANSI code page.
std::string executableDirectory(bool& unnamed) {
    unnamed = false;
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
    // Windows refuses the "lossy" flag for UTF-8, which loses nothing.
    BOOL* lossyFlag = GetACP() == CP_UTF8 ? nullptr : &lossy;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), nullptr, 0,
                                         nullptr, lossyFlag);
    if (size <= 0 || lossy) {
        unnamed = size > 0;
        return "";
    }
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), int(wide.size()), &narrow[0], size, nullptr,
                        nullptr);
    return narrow;
}

std::string executableDirectory() {
    bool unnamed;
    return executableDirectory(unnamed);
}

} // namespace

std::string platformResourceDirectory() {
    return chooseResourceDirectory(
        executableDirectory(),
        [](const std::string& path) {
            const DWORD attributes = GetFileAttributesA(path.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES &&
                   !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        },
        installedLayouts::none);
}

std::vector<std::string> resourceFoldersLookedIn() {
    std::vector<std::string> folders;
    for (const std::string& folder :
         resourceDirectoryCandidates(executableDirectory(), installedLayouts::none)) {
        folders.push_back(shownPath(folder));
    }
    return folders;
}

bool programFolderUnnamed() {
    bool unnamed;
    executableDirectory(unnamed);
    return unnamed;
}
