// The program's entry point on Windows. It is a GUI program, so a double-click opens no console;
// its messages (--help, --version, a bad option) still reach whoever started it: a redirected
// output keeps its file or pipe, otherwise the console of a starting command prompt is used.
// No movie renderer is installed: key m says where movies are made.
#include "basicsource/main.h"

#include <windows.h>

#include <cstdio>

namespace {

// Whether a standard handle was handed over by the starter (a file or a pipe).
bool inherited(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void reachStartingConsole() {
    const bool out = inherited(STD_OUTPUT_HANDLE), err = inherited(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return; // redirected, or started from Explorer: nobody to write to but the redirection
    }
    if (!out) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!err) {
        std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace

int main(int argc, char** argv) {
    reachStartingConsole();
    const int status = lumenfoldMain(argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
