// Files and folders, the way every writer of the program uses them: work is done in a hidden
// folder made fresh for this run, and a finished file is put into place in one step that never
// replaces a file the program did not mean to replace.
#pragma once

#include <string>
#include <vector>

// Makes the folder and its parents; true when it exists afterwards.
bool makeDirectories(const std::string& dir);
// Whether anything (file, folder, link) has that name.
bool pathExists(const std::string& path);
// The folder part of a path ("." when there is none) and the rest.
std::string directoryOf(const std::string& path);
std::string baseNameOf(const std::string& path);
// The path from the root, for paths handed to other programs.
std::string absolutePath(const std::string& path);
// A path as the program names it to its user: as given on Linux, where a program started from a
// terminal works where its user is; the full path with the system's separators on Windows,
// where a program started from the Start menu works in a folder its user never chose.
std::string shownPath(const std::string& path);

// A new, empty folder "<dir>/.<stem>.XXXXXX" with a name no other run has; "" on failure. It is
// marked as in use (a lock the system drops when this program ends, however it ends) until
// removeWorkFolder.
std::string makeWorkFolder(const std::string& dir, const std::string& stem);
// The work folders "<dir>/.<stem>.XXXXXX" no running program uses: left by a run that was
// killed.
std::vector<std::string> abandonedWorkFolders(const std::string& dir, const std::string& stem);
// A new, empty file "<dir>/.<stem>.XXXXXX" with a name no other run has and the permissions any
// new file gets; "" on failure.
std::string makeHiddenFile(const std::string& dir, const std::string& stem);
// Gives a work folder (made private) the permissions any new folder gets, before it is moved
// into the user's sight.
void openUpFolder(const std::string& folder);
// Makes an empty file of that name, only if nothing has it yet; false otherwise.
bool createNewFile(const std::string& path);
// Removes a folder this run made and the files in it (it holds no folders).
void removeWorkFolder(const std::string& folder);

// Gives the file `made` the name `name` only if nothing has that name yet (checked and done in
// one step, so a file created meanwhile is never replaced); `made` is gone afterwards on
// success. False when the name is taken or the file system refused.
bool publishAsNew(const std::string& made, const std::string& name);
// Why `path` cannot take a file the program is about to make, "" when it can: it must name a
// file, anything already there must be a regular file, and its folder must take new files or,
// when missing, be one that can be made. Said in a sentence that starts with the path. It
// leaves nothing made: the folders are made by the writer that goes on (outputFolders).
std::string outputPathProblem(const std::string& path);

// The missing folders of an output's path, made by this run and taken away again (those still
// empty, innermost first) when the output is not made: a failed run leaves no folder behind.
class outputFolders {
  public:
    outputFolders() = default;
    outputFolders(const outputFolders&) = delete;
    outputFolders& operator=(const outputFolders&) = delete;
    ~outputFolders();
    // Makes the folder of `path` and its missing parents: "" when it is there, else why not,
    // said as outputPathProblem says it (and what this call made is taken away again at once).
    std::string makeFor(const std::string& path);
    // The output is in place: the folders stay.
    void keep() { made.clear(); }

  private:
    void takeAway();
    std::vector<std::string> made; // outermost first
};
// Moves the finished file `made` over `name` (the output the user asked for), in one step;
// only a regular file there is replaced. "" when done, else what went wrong.
std::string replaceWith(const std::string& made, const std::string& name);
// Renames the folder `made` to `name` when no such folder exists or it is empty; a folder
// with anything in it is left alone and the call fails.
bool moveFolderIntoPlace(const std::string& made, const std::string& name);
