// The ways the program ends: fatal and the guarded face read (status 255 and the message on
// standard output), and Escape and q (status 0, nothing written).
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/utility.h"
#include "helpers/child_process.h"
#include "support/face.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(Fatal, WritesTheMessageToStandardOutputAndExitsWith255) {
    childOutcome outcome = runInChild([] { fatal("something went wrong"); });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitStatus, 255);
    EXPECT_EQ(outcome.standardOutput, "something went wrong\n");
}

// A platform's reporter hears the words and the file before the process ends; the words on
// standard output and the status stay as they are.
TEST(Fatal, ReportsTheWordsAndTheFileToAnInstalledReporterToo) {
    static std::string heard;
    childOutcome outcome = runInChild([] {
        setFatalReporter([](const char* words, const std::string& file) {
            heard = std::string(words) + " | " + file;
            std::printf("reported: %s\n", heard.c_str());
        });
        fatalAbout("error opening terrain file", "resources/ground.bmp");
    });
    EXPECT_EQ(outcome.exitStatus, 255);
    EXPECT_EQ(outcome.standardOutput,
              "reported: error opening terrain file | resources/ground.bmp\nerror opening terrain file\n");
    outcome = runInChild([] {
        setFatalReporter([](const char* words, const std::string& file) {
            std::printf("reported: %s | %s\n", words, file.c_str());
        });
        fatal("attempt to create a non-existent OpenGL light");
    });
    EXPECT_EQ(outcome.standardOutput, "reported: attempt to create a non-existent OpenGL light | \n"
                                      "attempt to create a non-existent OpenGL light\n");
}

TEST(Fatal, FaceVertexOutOfRangeEndsTheProgram) {
    const char* message = "face::vertex() tried to read invalid vertex index\n";
    struct probe {
        int corners;
        unsigned short corner;
    };
    for (probe p : {probe{0, 0}, probe{3, 3}, probe{4, 4}, probe{3, 65535}}) {
        childOutcome outcome = runInChild([p] {
            face f;
            if (p.corners == 3) {
                f.init(1, 2, 3);
            } else if (p.corners == 4) {
                f.init(1, 2, 3, 4);
            }
            f.vertex(p.corner);
        });
        EXPECT_EQ(outcome.exitStatus, 255) << p.corners << " corners, corner " << p.corner;
        EXPECT_EQ(outcome.standardOutput, message);
    }
}

TEST(Quit, EscapeAndQExitCleanlyAndSilently) {
    for (unsigned char key : {static_cast<unsigned char>(27), static_cast<unsigned char>('q')}) {
        childOutcome outcome = runInChild([key] { KeyPress(key, 0, 0); });
        EXPECT_TRUE(outcome.exited);
        EXPECT_EQ(outcome.exitStatus, 0) << "key " << int(key);
        EXPECT_EQ(outcome.standardOutput, "");
    }
    // Upper-case Q is not a way out.
    childOutcome outcome = runInChild([] {
        KeyPress('Q', 0, 0);
        std::exit(3);
    });
    EXPECT_EQ(outcome.exitStatus, 3);
}

TEST(Credits, TitleInQuotesThenArtistYearAndOwner) {
    char line[256];
    formatCopyright(line, sizeof line, "2026", "Owner Ltd", "A. Artist", "Lumenfold");
    EXPECT_STREQ(line, "\"Lumenfold\"  A. Artist, (c) 2026 Owner Ltd");
    char tiny[8];
    formatCopyright(tiny, sizeof tiny, "2026", "Owner Ltd", "A. Artist", "Lumenfold");
    EXPECT_STREQ(tiny, "\"Lumenf");
}

// The overlay's font has the Latin-1 letters: a UTF-8 name draws its Latin-1 letters as they are
// and every other letter as one '?', and bytes that are not UTF-8 are drawn as Latin-1.
TEST(TextOverlay, DrawsUtf8AsTheFontsLatin1LettersAndQuestionMarks) {
    auto drawn = [](const char* text) {
        std::string out;
        for (const char* c = text; *c;) {
            out += char(nextFontCharacter(c));
        }
        return out;
    };
    EXPECT_EQ(drawn("Saved screenshots/x.png"), "Saved screenshots/x.png");
    EXPECT_EQ(drawn("C:\\Users\\Ren\xc3\xa9" "e"), "C:\\Users\\Ren\xe9" "e");
    EXPECT_EQ(drawn("\xd0\x98\xd0\xb3\xd1\x80\xd1\x8b \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xac"), "???? ?? ?");
    EXPECT_EQ(drawn("caf\xe9 \xff"), "caf\xe9 \xff");     // Latin-1 bytes
    EXPECT_EQ(drawn("cut \xd0"), "cut \xd0");               // a sequence cut short by the end
    EXPECT_EQ(drawn("\xe6\x97x"), "\xe6\x97x");            // ... or by a byte that does not continue it
}
