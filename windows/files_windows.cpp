// Files and folders on Windows, as far as the screenshots need them (there is no movie maker
// here): CREATE_NEW for "create only if new", MoveFileEx without replacing for publishing a
// finished file. Paths are UTF-8, the process's code page (lumenfold.manifest), as the C
// runtime's and the shared code's are; both / and \ separate folders.
#include "basicsource/files.h"

#include <windows.h>

#include <cstdio>

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

size_t lastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool isFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name no other run is likely to have; CREATE_NEW and CreateDirectory refuse one that exists,
// so a clash only costs another try.
std::string uniqueSuffix(unsigned attempt) {
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    unsigned long long seed = GetTickCount64() * 2654435761ull ^ GetCurrentProcessId() * 40503ull ^
                              attempt * 2246822519ull;
    std::string suffix;
    for (int i = 0; i < 6; ++i) {
        suffix += kDigits[seed % 36];
        seed /= 36;
    }
    return suffix;
}

const unsigned kMostAttempts = 100;

} // namespace

bool makeDirectories(const std::string& dir) {
    for (size_t i = 1; i <= dir.size(); ++i) {
        if (i == dir.size() || isSeparator(dir[i])) {
            const std::string partial = dir.substr(0, i);
            // A failure shows in the check below; "C:" or a share's name need not be made.
            if (!isFolder(partial)) {
                CreateDirectoryA(partial.c_str(), nullptr);
            }
        }
    }
    return isFolder(dir);
}

bool pathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = lastSeparator(path);
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = lastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string shownPath(const std::string& path) {
    std::string full(MAX_PATH, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameA(path.c_str(), DWORD(full.size()), &full[0], nullptr);
    }
    full = length > 0 && length < full.size() ? full.substr(0, length) : path;
    for (char& c : full) {
        c = c == '/' ? '\\' : c;
    }
    return full;
}

std::string makeHiddenFile(const std::string& dir, const std::string& stem) {
    for (unsigned attempt = 0; attempt < kMostAttempts; ++attempt) {
        const std::string name = dir + "/." + stem + "." + uniqueSuffix(attempt);
        if (createNewFile(name)) {
            return name;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            return "";
        }
    }
    return "";
}

bool createNewFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

bool publishAsNew(const std::string& made, const std::string& name) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken, checked and done
    // by the file system in one step.
    return MoveFileExA(made.c_str(), name.c_str(), 0) != 0;
}

