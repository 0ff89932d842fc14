// Files and folders as every writer of the program uses them: a name is taken only when free,
// checked and taken in one step; work folders are new each time; a finished folder goes only
// where nothing is.
#include "basicsource/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Everything under `folder`, hidden names included, one path a line.
std::string everythingIn(const std::string& folder) {
    std::string listing;
    FILE* find = popen(("cd '" + folder + "' && find . -mindepth 1 | sort").c_str(), "r");
    for (int c; find && (c = std::fgetc(find)) != EOF;) {
        listing += char(c);
    }
    if (find) {
        pclose(find);
    }
    return listing;
}

class Files : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/lumenfold-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string dir;
};

} // namespace

TEST_F(Files, ANameIsTakenOnlyWhenNothingHasIt) {
    std::ofstream(dir + "/made") << "new picture";
    std::ofstream(dir + "/taken.png") << "someone else's picture";
    // The name appeared after any check the caller made: it is still not replaced.
    EXPECT_FALSE(publishAsNew(dir + "/made", dir + "/taken.png"));
    EXPECT_EQ(contentsOf(dir + "/taken.png"), "someone else's picture");
    EXPECT_EQ(contentsOf(dir + "/made"), "new picture");
    EXPECT_TRUE(publishAsNew(dir + "/made", dir + "/free.png"));
    EXPECT_EQ(contentsOf(dir + "/free.png"), "new picture");
    EXPECT_FALSE(pathExists(dir + "/made"));
    // A dangling link is a name too.
    ASSERT_EQ(symlink("nowhere", (dir + "/link.png").c_str()), 0);
    std::ofstream(dir + "/made2") << "x";
    EXPECT_FALSE(publishAsNew(dir + "/made2", dir + "/link.png"));
}

TEST_F(Files, WorkFoldersAreNewAndHiddenEachTime) {
    const std::string a = makeWorkFolder(dir, "lumenfold.mp4");
    const std::string b = makeWorkFolder(dir, "lumenfold.mp4");
    ASSERT_FALSE(a.empty());
    ASSERT_FALSE(b.empty());
    EXPECT_NE(a, b);
    EXPECT_EQ(baseNameOf(a).rfind(".lumenfold.mp4.", 0), 0u) << a;
    std::ofstream(a + "/chunk-000000.mp4") << "x";
    removeWorkFolder(a);
    EXPECT_FALSE(pathExists(a));
    EXPECT_TRUE(pathExists(b));
    EXPECT_EQ(makeWorkFolder(dir + "/missing", "x"), "");
}

TEST_F(Files, AFinishedFolderGoesOnlyWhereNothingIsOrAnEmptyFolder) {
    const std::string made = makeWorkFolder(dir, "frames");
    std::ofstream(made + "/frame-00000.png") << "new";
    mkdir((dir + "/full").c_str(), 0755);
    std::ofstream(dir + "/full/frame-00000.png") << "old";
    EXPECT_FALSE(moveFolderIntoPlace(made, dir + "/full"));
    EXPECT_EQ(contentsOf(dir + "/full/frame-00000.png"), "old");
    std::ofstream(dir + "/file") << "a file";
    EXPECT_FALSE(moveFolderIntoPlace(made, dir + "/file"));
    EXPECT_EQ(contentsOf(dir + "/file"), "a file");
    mkdir((dir + "/empty").c_str(), 0755);
    EXPECT_TRUE(moveFolderIntoPlace(made, dir + "/empty"));
    EXPECT_EQ(contentsOf(dir + "/empty/frame-00000.png"), "new");
}

TEST_F(Files, PathsSplitIntoFolderAndName) {
    EXPECT_EQ(directoryOf("movie/lumenfold.mp4"), "movie");
    EXPECT_EQ(directoryOf("lumenfold.mp4"), ".");
    EXPECT_EQ(directoryOf("/x.mp4"), "/");
    EXPECT_EQ(baseNameOf("a/b/c.mp4"), "c.mp4");
    EXPECT_EQ(absolutePath("/abs"), "/abs");
    EXPECT_EQ(absolutePath("rel").front(), '/');
    EXPECT_TRUE(makeDirectories(dir + "/a/b/c"));
    std::ofstream(dir + "/in-the-way") << "a file";
    EXPECT_FALSE(makeDirectories(dir + "/in-the-way/x"));
}

TEST_F(Files, AnOutputNameIsCheckedBeforeAnythingIsMade) {
    // Missing folders that could be made pass the check, and the check makes none of them.
    EXPECT_EQ(outputPathProblem(dir + "/new/movie.mp4"), "");
    EXPECT_EQ(outputPathProblem(dir + "/new/deep/movie.mp4"), "");
    EXPECT_EQ(everythingIn(dir), "");
    ASSERT_EQ(mkdir((dir + "/new").c_str(), 0755), 0);
    std::ofstream(dir + "/old.mp4") << "the previous movie";
    EXPECT_EQ(outputPathProblem(dir + "/old.mp4"), "") << "a regular file may be replaced";
    EXPECT_EQ(outputPathProblem(dir + "/new/"),
              "'" + dir + "/new/' names a folder, not a file; give the file's name, such as " +
                  dir + "/new/lumenfold.mp4");
    EXPECT_EQ(outputPathProblem(dir + "/new"),
              dir + "/new is a folder; give the file's name, such as " + dir +
                  "/new/lumenfold.mp4");
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    EXPECT_EQ(outputPathProblem(dir + "/pipe"),
              dir + "/pipe is a named pipe, not a regular file; it is never replaced");
    ASSERT_EQ(symlink("old.mp4", (dir + "/link.mp4").c_str()), 0);
    EXPECT_EQ(outputPathProblem(dir + "/link.mp4"),
              dir + "/link.mp4 is a symbolic link, not a regular file; it is never replaced");
    EXPECT_EQ(outputPathProblem(dir + "/old.mp4/x.mp4"),
              dir + "/old.mp4/x.mp4 cannot be written: its folder " + dir +
                  "/old.mp4 cannot be made (Not a directory)");
    EXPECT_EQ(outputPathProblem(dir + "/old.mp4/a/b/x.mp4"),
              dir + "/old.mp4/a/b/x.mp4 cannot be written: its folder " + dir +
                  "/old.mp4/a/b cannot be made (Not a directory)");
    // Even for root, nothing can be made in /sys: neither a file nor a folder.
    EXPECT_EQ(
        outputPathProblem("/sys/movie.mp4"),
        "/sys/movie.mp4 cannot be written: no new file can be made in /sys (Permission denied)");
    EXPECT_EQ(outputPathProblem("/sys/new/movie.mp4"),
              "/sys/new/movie.mp4 cannot be written: its folder /sys/new cannot be made "
              "(Permission denied)");
    EXPECT_EQ(everythingIn(dir), "./link.mp4\n./new\n./old.mp4\n./pipe\n");
}

TEST_F(Files, AnOutputsFoldersStayOnlyWithTheOutput) {
    std::ofstream(dir + "/afile") << "a user's file";
    {
        outputFolders folders;
        EXPECT_EQ(folders.makeFor(dir + "/a/b/c/movie.mp4"), "");
        EXPECT_TRUE(pathExists(dir + "/a/b/c"));
    }
    EXPECT_EQ(everythingIn(dir), "./afile\n") << "a failed output's folders are taken away";
    {
        // What was there before stays; so does a folder something else was put in meanwhile.
        ASSERT_EQ(mkdir((dir + "/a").c_str(), 0755), 0);
        outputFolders folders;
        EXPECT_EQ(folders.makeFor(dir + "/a/b/c/movie.mp4"), "");
        std::ofstream(dir + "/a/b/kept") << "another program's file";
    }
    EXPECT_EQ(everythingIn(dir), "./a\n./a/b\n./a/b/kept\n./afile\n");
    {
        outputFolders folders;
        EXPECT_EQ(folders.makeFor(dir + "/x/y/movie.mp4"), "");
        folders.keep();
    }
    EXPECT_TRUE(pathExists(dir + "/x/y")) << "the folders of an output made stay";
    outputFolders folders;
    EXPECT_EQ(folders.makeFor(dir + "/afile/d/movie.mp4"),
              dir + "/afile/d/movie.mp4 cannot be written: its folder " + dir +
                  "/afile/d cannot be made (Not a directory)");
    // The reason is the system's (EPERM for root, EACCES for others).
    const std::string refused = folders.makeFor("/sys/new/deep/movie.mp4");
    EXPECT_EQ(refused.substr(0, refused.find('(')),
              "/sys/new/deep/movie.mp4 cannot be written: its folder /sys/new/deep cannot be "
              "made ");
    EXPECT_EQ(contentsOf(dir + "/afile"), "a user's file");
}

TEST_F(Files, AFinishedFileReplacesOnlyARegularFileAndSaysWhyNot) {
    std::ofstream(dir + "/made") << "new movie";
    std::ofstream(dir + "/old.mp4") << "the previous movie";
    EXPECT_EQ(replaceWith(dir + "/made", dir + "/old.mp4"), "");
    EXPECT_EQ(contentsOf(dir + "/old.mp4"), "new movie");
    // A folder or a pipe that took the name meanwhile stays, and the message says so.
    std::ofstream(dir + "/made") << "another";
    ASSERT_EQ(mkdir((dir + "/taken.mp4").c_str(), 0755), 0);
    EXPECT_EQ(replaceWith(dir + "/made", dir + "/taken.mp4"),
              "the finished file was not put in place: " + dir +
                  "/taken.mp4 is a folder; give the file's name, such as " + dir +
                  "/taken.mp4/lumenfold.mp4");
    ASSERT_EQ(mkfifo((dir + "/fifo.mp4").c_str(), 0600), 0);
    EXPECT_NE(replaceWith(dir + "/made", dir + "/fifo.mp4").find("is a named pipe"),
              std::string::npos);
    EXPECT_EQ(contentsOf(dir + "/made"), "another");
    EXPECT_EQ(replaceWith(dir + "/missing", dir + "/free.mp4"),
              "the finished file could not be renamed to " + dir +
                  "/free.mp4: No such file or directory");
}

TEST_F(Files, AWorkFolderIsAbandonedOnlyWhenNoRunningProgramHoldsIt) {
    const std::string mine = makeWorkFolder(dir, "movie.mp4");
    ASSERT_FALSE(mine.empty());
    std::ofstream(mine + ".log") << "its log";
    const std::string killed = dir + "/.movie.mp4.AbC123"; // as a killed run leaves it
    ASSERT_EQ(mkdir(killed.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/.other.mp4.AbC123").c_str(), 0700), 0);
    // Another program's folder, held for as long as that program runs.
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t other = fork();
    if (other == 0) {
        close(release[1]);
        const std::string held = makeWorkFolder(dir, "movie.mp4");
        [[maybe_unused]] ssize_t n = write(ready[1], held.c_str(), held.size());
        close(ready[1]);
        char byte;
        n = read(release[0], &byte, 1);
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char name[4096] = {};
    ASSERT_GT(read(ready[0], name, sizeof name - 1), 0);
    close(ready[0]);
    EXPECT_EQ(abandonedWorkFolders(dir, "movie.mp4"), std::vector<std::string>{killed});
    close(release[1]); // the other program ends: its lock goes with it
    int status = 0;
    ASSERT_EQ(waitpid(other, &status, 0), other);
    std::vector<std::string> both = {killed, name};
    std::sort(both.begin(), both.end());
    EXPECT_EQ(abandonedWorkFolders(dir, "movie.mp4"), both);
    removeWorkFolder(mine);
    unlink((mine + ".log").c_str());
}
