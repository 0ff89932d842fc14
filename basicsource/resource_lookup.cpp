// The resource folder's search order, kept apart from the file system so it can be tested.
#include "basicsource/resource_lookup.h"

namespace {
const char* const kLocalDirectory = "resources";
const char* const kGroundImage = "ground.bmp";
} // namespace

std::vector<std::string> resourceDirectoryCandidates(const std::string& executableDirectory,
                                                     installedLayouts layouts) {
    std::vector<std::string> candidates = {kLocalDirectory};
    if (!executableDirectory.empty()) {
        candidates.push_back(executableDirectory + "/resources");
    }
    if (!executableDirectory.empty() && layouts == installedLayouts::lookedIn) {
        candidates.push_back(executableDirectory + "/../share/lumenfold/resources");
        // Debian's place for a game's data, beside its programs in PREFIX/games.
        candidates.push_back(executableDirectory + "/../share/games/lumenfold/resources");
    }
    return candidates;
}

std::string chooseResourceDirectory(const std::string& executableDirectory,
                                    const std::function<bool(const std::string&)>& isFile,
                                    installedLayouts layouts) {
    for (const std::string& candidate : resourceDirectoryCandidates(executableDirectory, layouts)) {
        if (isFile(candidate + "/" + kGroundImage)) {
            return candidate;
        }
    }
    return kLocalDirectory;
}
