// Files and folders on Linux: mkdtemp for work folders (flock marks them in use), link() for
// "create only if new", rename() for replacing an output and for moving a finished folder into
// place.
#include "basicsource/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

bool makeDirectories(const std::string& dir) {
    std::string partial;
    for (size_t i = 0; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
                return false;
            }
        }
        if (i < dir.size()) {
            partial += dir[i];
        }
    }
    struct stat info;
    if (stat(dir.c_str(), &info) != 0) {
        return false;
    }
    errno = S_ISDIR(info.st_mode) ? 0 : ENOTDIR; // a file of that name: said as what it is
    return errno == 0;
}

bool pathExists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    char here[4096];
    return getcwd(here, sizeof here) ? std::string(here) + "/" + path : path;
}

std::string shownPath(const std::string& path) { return path; }

namespace {

// The locks held on this run's work folders, by folder.
std::map<std::string, int>& heldFolders() {
    static std::map<std::string, int> held;
    return held;
}

void releaseFolder(const std::string& folder) {
    if (auto held = heldFolders().find(folder); held != heldFolders().end()) {
        close(held->second);
        heldFolders().erase(held);
    }
}

} // namespace

std::string makeWorkFolder(const std::string& dir, const std::string& stem) {
    std::string pattern = dir + "/." + stem + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) {
        return "";
    }
    const int fd = open(name.data(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        heldFolders()[name.data()] = fd;
    } else if (fd >= 0) {
        close(fd);
    }
    return name.data();
}

std::vector<std::string> abandonedWorkFolders(const std::string& dir, const std::string& stem) {
    std::vector<std::string> found;
    const std::string prefix = "." + stem + ".";
    DIR* d = opendir(dir.c_str());
    if (!d) {
        return found;
    }
    while (dirent* entry = readdir(d)) {
        const std::string name = entry->d_name, path = dir + "/" + name;
        // mkdtemp's six characters after the stem; a folder, not the log beside it.
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            heldFolders().count(path) != 0) {
            continue;
        }
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0) {
            found.push_back(path);
        }
        if (fd >= 0) {
            close(fd);
        }
    }
    closedir(d);
    std::sort(found.begin(), found.end());
    return found;
}

namespace {

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

} // namespace

std::string makeHiddenFile(const std::string& dir, const std::string& stem) {
    std::string pattern = dir + "/." + stem + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        return "";
    }
    // mkstemp makes the file private.
    fchmod(fd, 0666 & ~currentUmask());
    close(fd);
    return name.data();
}

void openUpFolder(const std::string& folder) { chmod(folder.c_str(), 0777 & ~currentUmask()); }

bool createNewFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd >= 0 && close(fd) == 0;
}

void removeWorkFolder(const std::string& folder) {
    if (folder.empty()) {
        return;
    }
    releaseFolder(folder);
    if (DIR* d = opendir(folder.c_str())) {
        while (dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                unlink((folder + "/" + name).c_str());
            }
        }
        closedir(d);
    }
    rmdir(folder.c_str());
}

bool publishAsNew(const std::string& made, const std::string& name) {
    if (link(made.c_str(), name.c_str()) == 0) {
        unlink(made.c_str());
        return true;
    }
    // File systems without hard links (FAT, some network mounts) can still rename without
    // replacing anything.
    return errno != EEXIST &&
           renameat2(AT_FDCWD, made.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0;
}

namespace {

// What a name that is not a regular file is, for a message.
const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISLNK(mode)) {
        return "a symbolic link";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISFIFO(mode)) {
        return "a named pipe";
    }
    return S_ISSOCK(mode) ? "a socket" : "not a regular file";
}

std::string folderNotMade(const std::string& path, const std::string& dir, int why) {
    return path + " cannot be written: its folder " + dir + " cannot be made (" +
           std::strerror(why) + ")";
}

std::string notReplaceable(const std::string& path, mode_t mode) {
    if (S_ISDIR(mode)) {
        return path + " is a folder; give the file's name, such as " + path +
               (path.back() == '/' ? "" : "/") + "lumenfold.mp4";
    }
    return path + " is " + kindOf(mode) + ", not a regular file; it is never replaced";
}

} // namespace

std::string outputPathProblem(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return "'" + path + "' names a folder, not a file; give the file's name, such as " + path +
               "lumenfold.mp4";
    }
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return notReplaceable(path, info.st_mode);
    }
    // The deepest folder of the path that is there: the file, or the first missing folder, is
    // made in it.
    const std::string dir = directoryOf(path);
    std::string there = dir;
    while (!pathExists(there) && directoryOf(there) != there) {
        there = directoryOf(there);
    }
    const bool isFolder = stat(there.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    const int notFolder = pathExists(there) ? ENOTDIR : ENOENT; // a file, or a dangling link
    // Tried for real: permissions alone do not tell (a read-only or special file system).
    const std::string probe = isFolder ? makeHiddenFile(there, baseNameOf(path)) : "";
    if (probe.empty()) {
        const int why = isFolder ? errno : notFolder;
        return isFolder && there == dir ? path + " cannot be written: no new file can be made in " +
                                              dir + " (" + std::strerror(why) + ")"
                                        : folderNotMade(path, dir, why);
    }
    unlink(probe.c_str());
    return "";
}

outputFolders::~outputFolders() { takeAway(); }

std::string outputFolders::makeFor(const std::string& path) {
    const std::string dir = directoryOf(path);
    // The missing folders, innermost first, then made outermost first.
    std::vector<std::string> missing;
    for (std::string d = dir; !pathExists(d) && directoryOf(d) != d; d = directoryOf(d)) {
        missing.push_back(d);
    }
    int why = 0;
    for (auto d = missing.rbegin(); why == 0 && d != missing.rend(); ++d) {
        if (mkdir(d->c_str(), 0755) == 0) {
            made.push_back(*d);
        } else if (errno != EEXIST) {
            why = errno;
        }
    }
    struct stat info;
    if (why == 0 && stat(dir.c_str(), &info) != 0) {
        why = errno;
    } else if (why == 0 && !S_ISDIR(info.st_mode)) {
        why = ENOTDIR;
    }
    if (why == 0) {
        return "";
    }
    takeAway();
    return folderNotMade(path, dir, why);
}

void outputFolders::takeAway() {
    // rmdir takes only an empty folder: anything put in one meanwhile keeps it.
    for (auto d = made.rbegin(); d != made.rend(); ++d) {
        rmdir(d->c_str());
    }
    made.clear();
}

std::string replaceWith(const std::string& made, const std::string& name) {
    // Checked again at the last moment: the name may have been taken meanwhile.
    struct stat info;
    if (lstat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return "the finished file was not put in place: " + notReplaceable(name, info.st_mode);
    }
    if (std::rename(made.c_str(), name.c_str()) != 0) {
        return "the finished file could not be renamed to " + name + ": " + std::strerror(errno);
    }
    return "";
}

bool moveFolderIntoPlace(const std::string& made, const std::string& name) {
    // rename() replaces an empty folder and refuses one with files in it (ENOTEMPTY/EEXIST).
    if (std::rename(made.c_str(), name.c_str()) != 0) {
        return false;
    }
    releaseFolder(made); // no longer a work folder
    return true;
}
