// The ways the program ends: fatal and the guarded face read (status 255 and the message on
// standard output), and Escape and q (status 0, nothing written).
#include "basicsource/frame.h"
#include "basicsource/main.h"
#include "player/playback.h"
#include "basicsource/utility.h"
#include "helpers/child_process.h"
#include "support/face.h"

#include <gtest/gtest.h>

TEST(Fatal, WritesTheMessageToStandardOutputAndExitsWith255) {
    childOutcome outcome = runInChild([] { fatal("something went wrong"); });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitStatus, 255);
    EXPECT_EQ(outcome.standardOutput, "something went wrong\n");
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
