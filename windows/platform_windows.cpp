// The Windows platform layer: the monotonic clock (the performance counter), where the data
// files are (the working folder's resources\, else the one beside the .exe) and a report file
// the tests read. The shared logic over them is in basicsource/platform.cpp; the sound is in
// audio_winmm.cpp, files and folders in files_windows.cpp, the window in
// basicsource/window_freeglut.cpp.
#include "basicsource/platform.h"

#include "basicsource/files.h"
#include "basicsource/frame.h"
#include "basicsource/program_state.h"
#include "basicsource/resource_lookup.h"
#include "windows/platform_windows.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The tests read the running program through a file, as Wine may not pass a GUI program's output
// on: when LUMENFOLD_REPORT names one, the clock (read at least once a frame) rewrites it at most
// every 100 ms with its reading, the frames drawn since the show last started or jumped, and
// where the sound being heard is (musicPlayedSeconds; negative when none is), and last the
// status line's notice (UTF-8, may be empty). Replaced in one step, so a reader never sees half
// a report.
class testReport {
  public:
    void open() {
        const char* path = std::getenv("LUMENFOLD_REPORT");
        file = path ? path : "";
    }
    void update(int32_t now) {
        if (file.empty() || writing || (written && int32_t(uint32_t(now) - uint32_t(last)) < 100)) {
            return;
        }
        writing = true; // the position's reading must not come back here
        written = true;
        last = now;
        const std::string made = file + ".new";
        if (FILE* out = std::fopen(made.c_str(), "w")) {
            std::fprintf(out, "clock %ld frames %ld heard %.3f notice %s\n", long(now),
                         gFrameCounter, musicPlayedSeconds(), statusNotice());
            if (std::fclose(out) == 0) {
                MoveFileExA(made.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
            }
        }
        writing = false;
    }

  private:
    std::string file;
    int32_t last = 0;
    bool written = false;
    bool writing = false;
};

testReport gReport;

} // namespace

void platformInitialise() { gReport.open(); }

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
    const int32_t now = int32_t(uint32_t(uint64_t(ms)));
    gReport.update(now);
    return now;
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
