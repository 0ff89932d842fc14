// The Windows program's message box for an error that ends it (windows/startup_error.cpp, free
// of Windows, so it runs here): the words it prints, the file, and every folder looked in.
#include "windows/startup_error.h"

#include <gtest/gtest.h>

namespace {

const std::string kHere = "C:\\Users\\\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\\Pictures\\resources";
const std::string kBeside = "C:\\\xd0\x98\xd0\xb3\xd1\x80\xd1\x8b\\Lumenfold \xe6\x97\xa5\\resources";

} // namespace

TEST(StartupError, AMissingFileNamesEveryFolderLookedIn) {
    const std::string text = startupErrorText("error opening terrain file", "ground.bmp",
                                              {{kHere, false}, {kBeside, false}}, "");
    EXPECT_EQ(text, "Lumenfold cannot go on: error opening terrain file.\n\n"
                    "It reads ground.bmp from the first of these folders that has it:\n"
                    "    " + kHere + "   (no ground.bmp)\n"
                    "    " + kBeside + "   (no ground.bmp)\n\n"
                    "Keep the resources folder beside lumenfold.exe, or install Lumenfold again.");
    EXPECT_EQ(startupErrorTitle("error opening terrain file"),
              "Lumenfold: error opening terrain file");
}

TEST(StartupError, ABadFileIsNamedWhereItWasRead) {
    // Found beside the program: the folder after it was not looked in, though it has one too.
    const std::string text =
        startupErrorText("tried to create a terrain from a non-BMP file", "ground.bmp",
                         {{kHere, false}, {kBeside, true}, {"D:\\later", true}}, "");
    EXPECT_NE(text.find("    " + kHere + "   (no ground.bmp)\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    " + kBeside + "   (read from here)\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("D:\\later"), std::string::npos) << text;
    EXPECT_NE(text.find("The file " + kBeside + "\\ground.bmp cannot be used"), std::string::npos)
        << text;
}

TEST(StartupError, WordsAboutNoFileStandAloneBeforeTheNote) {
    EXPECT_EQ(startupErrorText("attempt to create a non-existent OpenGL light", "", {}, ""),
              "Lumenfold cannot go on: attempt to create a non-existent OpenGL light.");
    EXPECT_EQ(startupErrorText("error opening terrain file", "", {}, "A note."),
              "Lumenfold cannot go on: error opening terrain file.\n\nA note.");
    // Words with a mark of their own get no full stop after it.
    EXPECT_EQ(startupErrorText("somehow managed to read past the end of the terrain BMP file!", "",
                               {}, ""),
              "Lumenfold cannot go on: somehow managed to read past the end of the terrain BMP "
              "file!");
}
