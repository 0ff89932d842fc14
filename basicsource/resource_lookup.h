// Where the data files (ground image, soundtrack) are found, so the program runs from anywhere:
// ./resources when it holds the ground image, else beside the executable (resources/), else
// where an installed copy keeps them, from the executable: ../share/lumenfold/resources/ for
// PREFIX/bin, ../share/games/lumenfold/resources/ for PREFIX/games (the Debian package's layout).
#pragma once

#include <functional>
#include <string>
#include <vector>

// Whether an installed copy's places (../share/...) are looked in: not on Windows, where a copy
// keeps its data beside the program.
enum class installedLayouts { lookedIn, none };

// The folders tried, in order, for an executable in `executableDirectory` (may be empty when it
// is unknown: then only the working directory's).
std::vector<std::string> resourceDirectoryCandidates(
    const std::string& executableDirectory, installedLayouts layouts = installedLayouts::lookedIn);

// The first candidate holding the ground image; "resources" when none does, so that a missing
// image is reported exactly as before.
std::string chooseResourceDirectory(const std::string& executableDirectory,
                                    const std::function<bool(const std::string&)>& isFile,
                                    installedLayouts layouts = installedLayouts::lookedIn);
