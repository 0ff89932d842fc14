// The program's entry point on Windows. It is a GUI program, so a double-click opens no console;
// its messages (--help, --version, a bad option) still reach whoever started it: a redirected
// output keeps its file or pipe, otherwise the console of a starting command prompt is used.
// Started with neither (a double-click, the Start menu), an error that ends the program is also
// shown in a message box that names the file and every folder looked in.
// No movie renderer is installed: key m says where movies are made.
#include "basicsource/files.h"
#include "basicsource/main.h"
#include "basicsource/utility.h"
#include "windows/platform_windows.h"
#include "windows/startup_error.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Whether a standard handle was handed over by the starter (a file or a pipe).
bool inherited(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

UINT gConsoleCodePage = 0; // the starting console's own, given back at exit

void restoreConsoleCodePage() { SetConsoleOutputCP(gConsoleCodePage); }

// Connects standard output and error to whoever started the program; false when nobody would
// read them.
bool reachStartingConsole() {
    const bool out = inherited(STD_OUTPUT_HANDLE), err = inherited(STD_ERROR_HANDLE);
    if (out && err) {
        return true;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return out; // started from Explorer: nobody to write to but the redirection
    }
    // The program's text is UTF-8 (file names in any language), as the console is told while
    // the program writes to it.
    gConsoleCodePage = GetConsoleOutputCP();
    if (gConsoleCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        std::atexit(restoreConsoleCodePage);
    }
    if (!out) {
        std::freopen("CONOUT$", "w", stdout);
    }
    if (!err) {
        std::freopen("CONOUT$", "w", stderr);
    }
    return true;
}

std::wstring wide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0);
    std::wstring result(size_t(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), &result[0], size);
    }
    return result;
}

// fatal's words with what the user can act on: the data file they are about was looked for in
// the resource folders, each of which is named with whether it has the file.
std::string fatalErrorText(const char* words, const std::string& file) {
    std::vector<folderLookedIn> folders;
    const std::string name = file.empty() ? "" : baseNameOf(file);
    if (!name.empty()) {
        for (const std::string& folder : resourceFoldersLookedIn()) {
            const DWORD attributes = GetFileAttributesA((folder + "\\" + name).c_str());
            folders.push_back({folder, attributes != INVALID_FILE_ATTRIBUTES &&
                                           !(attributes & FILE_ATTRIBUTE_DIRECTORY)});
        }
    }
    const std::string note =
        programFolderUnnamed()
            ? "The name of the folder Lumenfold is in has letters that this version of Windows "
              "cannot pass to it (Windows 10 version 1903 and later can): install Lumenfold "
              "into a folder named in the letters of your system's language."
            : "";
    return startupErrorText(words, name, folders, note);
}

// Nobody sees standard output: the error in a message box.
void showFatalError(const char* words, const std::string& file) {
    MessageBoxW(nullptr, wide(fatalErrorText(words, file)).c_str(),
                wide(startupErrorTitle(words)).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// A console sees the words on standard output; the folders and the remedy go to standard error.
void printFatalError(const char* words, const std::string& file) {
    std::fprintf(stderr, "%s\n", fatalErrorText(words, file).c_str());
    std::fflush(stderr);
}

} // namespace

int main(int argc, char** argv) {
    setFatalReporter(reachStartingConsole() ? printFatalError : showFatalError);
    const int status = lumenfoldMain(argc, argv);
    std::fflush(stdout);
    std::fflush(stderr);
    return status;
}
