// The message box's text: first the words the program prints, then what the user can act on.
#include "windows/startup_error.h"

std::string startupErrorTitle(const std::string& words) { return "Lumenfold: " + words; }

std::string startupErrorText(const std::string& words, const std::string& fileName,
                             const std::vector<folderLookedIn>& folders, const std::string& note) {
    // Some of the program's words end in their own mark ("...file!"): no second one after it.
    const bool ended = !words.empty() && std::string(".!?").find(words.back()) != std::string::npos;
    std::string text = "Lumenfold cannot go on: " + words + (ended ? "" : ".");
    if (!fileName.empty()) {
        // The search stops at the first folder that has the file.
        std::string found;
        text += "\n\nIt reads " + fileName + " from the first of these folders that has it:";
        for (const folderLookedIn& f : folders) {
            text += "\n    " + f.folder + (f.hasFile ? "   (read from here)" : "   (no " + fileName + ")");
            if (f.hasFile) {
                found = f.folder;
                break;
            }
        }
        text += found.empty()
                    ? "\n\nKeep the resources folder beside lumenfold.exe, or install Lumenfold again."
                    : "\n\nThe file " + found + "\\" + fileName +
                          " cannot be used: install Lumenfold again to get a good copy.";
    }
    if (!note.empty()) {
        text += "\n\n" + note;
    }
    return text;
}
