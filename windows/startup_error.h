// What the Windows program's message box says when it cannot go on and nobody would see its
// words on standard output (a double-click, the Start menu): those words, and when they are
// about a data file, the file and every folder it was looked for in. Free of Windows, so the
// native tests can check it.
#pragma once

#include <string>
#include <vector>

struct folderLookedIn {
    std::string folder; // as the user is shown it
    bool hasFile;
};

// `fileName` is the data file's name ("ground.bmp"), "" when the words are about no file;
// `folders` are those looked in, in order; `note` (may be "") ends the text.
std::string startupErrorText(const std::string& words, const std::string& fileName,
                             const std::vector<folderLookedIn>& folders, const std::string& note);
// The message box's title: the words, so that the window says what went wrong.
std::string startupErrorTitle(const std::string& words);
