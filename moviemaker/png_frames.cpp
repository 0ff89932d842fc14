// A movie as numbered PNG files (--frames DIR): made in a hidden folder beside DIR and renamed
// to DIR when complete, so DIR holds a whole sequence or nothing. DIR must be new or empty:
// files of an earlier sequence, or anyone else's, are never removed or replaced.
#include "basicsource/files.h"
#include "common/picture.h"
#include "moviemaker/movie_output.h"

#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

namespace {

// Nothing of that name, or an empty folder.
bool isFreeForFrames(const std::string& dir) {
    struct stat info;
    if (lstat(dir.c_str(), &info) != 0) {
        return true;
    }
    if (!S_ISDIR(info.st_mode)) {
        return false;
    }
    DIR* d = opendir(dir.c_str());
    if (!d) {
        return false;
    }
    int entries = 0;
    while (readdir(d)) {
        ++entries;
    }
    closedir(d);
    return entries <= 2; // "." and ".."
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

class pngFramesSink : public movieSink {
  public:
    explicit pngFramesSink(const movieSettings& s)
        : width(s.width), height(s.height), target(withoutTrailingSlashes(s.framesDirectory)) {}

    ~pngFramesSink() override { removeWorkFolder(workFolder); }

    bool start(std::string& error) {
        if (!isFreeForFrames(target)) {
            error = target + " already holds files; the frames go into a new or empty folder";
            return false;
        }
        const std::string dir = directoryOf(target);
        if (!(error = folders.makeFor(target)).empty()) {
            return false;
        }
        workFolder = makeWorkFolder(dir, baseNameOf(target));
        if (workFolder.empty()) {
            error = "cannot write into " + dir;
            return false;
        }
        return true;
    }

    bool writeFrame(const unsigned char* rgb) override {
        if (!savePng(rgb, width, height, workFolder + "/" + frameName(count++))) {
            problem = "cannot write the frames into " + directoryOf(target);
            return false;
        }
        return true;
    }

    bool finish() override {
        openUpFolder(workFolder);
        if (!moveFolderIntoPlace(workFolder, target)) {
            problem = target + " was taken meanwhile; the frames were not put there";
            return false;
        }
        workFolder.clear();
        folders.keep();
        return true;
    }

    void cancel() override {
        removeWorkFolder(workFolder);
        workFolder.clear();
    }

    std::string failure() const override { return problem; }

  private:
    static std::string frameName(int i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%05d.png", i);
        return name;
    }

    int width, height;
    std::string target;
    outputFolders folders; // the frames folder's parents this run made
    std::string workFolder;
    std::string problem;
    int count = 0;
};

} // namespace

std::unique_ptr<movieSink> openPngFramesSink(const movieSettings& settings, std::string& error) {
    auto sink = std::make_unique<pngFramesSink>(settings);
    if (!sink->start(error)) {
        return nullptr;
    }
    return sink;
}
