// The web page's pure logic: when its controls show and what a tap or click on its stage means
// (on clock readings the test chooses), and its address in a visitor's words.
#include "player/pointer.h"
#include "web/page_controls.h"
#include "web/page_words.h"

#include <gtest/gtest.h>

#include <climits>
#include <regex>
#include <string>
#include <vector>

namespace {

const bool kPlaying = true, kPaused = false;

stageAction touchAt(pageControls& controls, float x, float y, int32_t now, bool playing,
                    bool onPicture = true) {
    return controls.tap(stageInput::touch, onPicture, x, y, now, playing);
}

bool nothingAsked(const stageAction& action) {
    return !action.playPause && !action.fullScreen && !action.secondClick;
}

parseResult parsed(std::vector<const char*> args) {
    args.insert(args.begin(), "lumenfold");
    launchOptions options;
    return parseLaunchOptions(int(args.size()), args.data(), options);
}

} // namespace

// A phone's video player: a tap on hidden controls only shows them (on the picture or on the
// bars around it), a tap on the picture of a playing show hides them, and they stay whenever
// the show does not play.
TEST(PageControls, ATouchShowsOrHidesTheControlsAndChangesNothingElse) {
    pageControls controls;
    int32_t now = 50000;
    EXPECT_FALSE(controls.shown(now, kPlaying)); // nothing has moved yet
    EXPECT_TRUE(controls.shown(now, kPaused));

    for (bool onPicture : {true, false}) {
        pageControls fresh;
        EXPECT_TRUE(nothingAsked(touchAt(fresh, 100, 100, now, kPlaying, onPicture)));
        EXPECT_TRUE(fresh.shown(now + 1, kPlaying)) << (onPicture ? "picture" : "bars");
    }

    EXPECT_TRUE(nothingAsked(touchAt(controls, 100, 100, now, kPlaying)));
    EXPECT_TRUE(controls.shown(now, kPlaying));
    now += kDoubleClickMs + 1; // far enough apart in time to be two single taps
    EXPECT_TRUE(nothingAsked(touchAt(controls, 100, 100, now, kPlaying)));
    EXPECT_FALSE(controls.shown(now, kPlaying));

    // A tap on the bars while they show keeps them; so does any tap while paused.
    now += kDoubleClickMs + 1;
    touchAt(controls, 100, 100, now, kPlaying);
    now += kDoubleClickMs + 1;
    EXPECT_TRUE(nothingAsked(touchAt(controls, 100, 700, now, kPlaying, false)));
    EXPECT_TRUE(controls.shown(now, kPlaying));
    now += kDoubleClickMs + 1;
    EXPECT_TRUE(nothingAsked(touchAt(controls, 100, 100, now, kPaused)));
    EXPECT_TRUE(controls.shown(now + 100000, kPaused));
}

// What showed when the finger came down decides, however late its release arrives (a busy
// page delivers it late): a tap begun on shown controls hides them even if their time ran out
// before it ended, and one begun on hidden controls only shows them.
TEST(PageControls, ATapMeansWhatShowedWhenItsPressBegan) {
    pageControls controls;
    controls.controlUsed(1000);
    controls.press(1000 + kStripShownMs - 100, kPlaying);
    EXPECT_TRUE(nothingAsked(touchAt(controls, 50, 50, 1000 + kStripShownMs + 2000, kPlaying)));
    EXPECT_FALSE(controls.shown(1000 + kStripShownMs + 2001, kPlaying)) << "shown by a tap that began on them";

    controls.press(20000, kPlaying); // hidden by now
    touchAt(controls, 50, 50, 20000 + kStripShownMs - 10, kPlaying);
    EXPECT_TRUE(controls.shown(20000 + kStripShownMs - 9, kPlaying));

    // Two taps are a double one by when they began.
    controls.press(40000, kPlaying);
    touchAt(controls, 50, 50, 40000 + 50, kPlaying);
    controls.press(40000 + kDoubleClickMs - 10, kPlaying);
    EXPECT_TRUE(touchAt(controls, 50, 50, 40000 + kDoubleClickMs + 900, kPlaying).fullScreen);
}

TEST(PageControls, TheyStayForAWhileAfterTheLastUseUnlessHeld) {
    pageControls controls;
    const int32_t now = 1000;
    controls.pointerMoved(now);
    EXPECT_TRUE(controls.shown(now + kStripShownMs - 1, kPlaying));
    EXPECT_FALSE(controls.shown(now + kStripShownMs, kPlaying));

    controls.controlUsed(now);
    controls.setHeld(true, now);
    EXPECT_TRUE(controls.shown(now + 10 * kStripShownMs, kPlaying));
    controls.setHeld(false, now + 10 * kStripShownMs); // let go: the time starts again
    EXPECT_TRUE(controls.shown(now + 11 * kStripShownMs - 1, kPlaying));
    EXPECT_FALSE(controls.shown(now + 11 * kStripShownMs, kPlaying));
}

// The clock is 32 bits: a use just before it wraps still counts just after, and an old one
// never comes back however long the page stays open (polled as the page does, every frame or
// so, or only now and then).
TEST(PageControls, TheClocksWrapNeitherKeepsNorBringsBackTheControls) {
    pageControls controls;
    controls.pointerMoved(INT32_MAX - 100);
    EXPECT_TRUE(controls.shown(INT32_MIN + 100, kPlaying));
    EXPECT_FALSE(controls.shown(INT32_MIN + kStripShownMs, kPlaying));
    for (int64_t later : {int64_t(1) << 31, int64_t(1) << 32, (int64_t(1) << 32) + 50}) {
        const int32_t at = int32_t(uint32_t(uint64_t(int64_t(INT32_MAX) - 100 + later)));
        EXPECT_FALSE(controls.shown(at, kPlaying)) << later;
    }
}

// Two taps on the picture close together are full screen whatever the first did, and the
// controls show after them; taps apart in time or place, or on the bars, are not.
TEST(PageControls, ADoubleTapOnThePictureIsFullScreen) {
    for (bool startShown : {false, true}) {
        pageControls controls;
        int32_t now = 7000;
        if (startShown) {
            controls.controlUsed(now);
        }
        EXPECT_FALSE(touchAt(controls, 200, 200, now, kPlaying).fullScreen);
        now += kDoubleClickMs;
        EXPECT_TRUE(touchAt(controls, 200 + kDoubleClickReach, 200, now, kPlaying).fullScreen);
        EXPECT_TRUE(controls.shown(now, kPlaying));
        now += 10;
        EXPECT_FALSE(touchAt(controls, 200, 200, now, kPlaying).fullScreen); // a third starts afresh
    }
    pageControls controls;
    touchAt(controls, 200, 200, 0, kPlaying);
    EXPECT_FALSE(touchAt(controls, 200, 200, kDoubleClickMs + 1, kPlaying).fullScreen);
    touchAt(controls, 200, 200, 5000, kPlaying);
    EXPECT_FALSE(touchAt(controls, 200, 200 + kDoubleClickReach + 1, 5050, kPlaying).fullScreen);
    touchAt(controls, 200, 700, 9000, kPlaying, false);
    EXPECT_FALSE(touchAt(controls, 200, 700, 9050, kPlaying, false).fullScreen);
}

// A desktop's mouse: a click on the picture plays or pauses; a double click is full screen and
// undoes its first click; a click on the bars only shows the controls.
TEST(PageControls, AClickOnThePicturePlaysAndPausesAndADoubleClickIsFullScreen) {
    pageControls controls;
    const stageAction first = controls.tap(stageInput::mouse, true, 300, 300, 100, kPlaying);
    EXPECT_TRUE(first.playPause && !first.fullScreen && !first.secondClick);
    const stageAction second = controls.tap(stageInput::mouse, true, 301, 300, 300, kPaused);
    EXPECT_TRUE(second.fullScreen && second.secondClick && !second.playPause);
    EXPECT_TRUE(controls.tap(stageInput::mouse, true, 300, 300, 2000, kPaused).playPause);
    const stageAction bars = controls.tap(stageInput::mouse, false, 300, 10, 5000, kPlaying);
    EXPECT_TRUE(nothingAsked(bars));
    EXPECT_TRUE(controls.shown(5001, kPlaying));
}

TEST(PageWords, TheAddressIsRefusedInAVisitorsWords) {
    // Called unknown, with or without a value (once "--unknown takes no value").
    EXPECT_EQ(pageRefusal(parsed({"--unknown=1"})),
              "This page has no parameter 'unknown': ?help lists the ones it takes.");
    EXPECT_EQ(pageRefusal(parsed({"--unknown"})),
              "This page has no parameter 'unknown': ?help lists the ones it takes.");
    EXPECT_EQ(pageRefusal(parsed({"--start=abc"})),
              "The address cannot be played: start takes a time in seconds from 0 to 130, not "
              "'abc'.");
    EXPECT_EQ(pageRefusal(parsed({"--paused=1"})),
              "The address cannot be played: paused takes no value.");
    EXPECT_EQ(pageRefusal(parsed({"--speed"})),
              "The address cannot be played: speed needs a value.");
}

TEST(PageWords, LongValuesAreCutWithAnEllipsisOnWholeCharacters) {
    const std::string long5000(5000, '9');
    const std::string line = pageRefusal(parsed({("--start=" + long5000).c_str()}));
    EXPECT_EQ(line, "The address cannot be played: start takes a time in seconds from 0 to 130, "
                    "not '" + std::string(kLongestShownValue, '9') + "\u2026'.");
    const std::string name(300, 'x');
    EXPECT_EQ(pageRefusal(parsed({("--" + name + "=1").c_str()})),
              "This page has no parameter '" + std::string(kLongestShownValue, 'x') +
                  "\u2026': ?help lists the ones it takes.");
    // Two-byte characters are never split.
    const std::string accents = "\u00e9\u00e9\u00e9\u00e9";
    EXPECT_EQ(shortened(accents, 2), "\u00e9\u00e9\u2026");
    EXPECT_EQ(shortened(accents, 4), accents);
    EXPECT_EQ(shortened("", 0), "");
}

TEST(PageWords, TheHelpListsThePagesParametersWithTheParsersRanges) {
    const std::string usage = pageUsage();
    for (const char* parameter : {"?start=84&paused", "?speed=", "?loop", "?mute", "?fullscreen",
                                  "?version"}) {
        EXPECT_NE(usage.find(parameter), std::string::npos) << parameter;
    }
    EXPECT_NE(usage.find("(0 to 130)"), std::string::npos) << usage;
    EXPECT_NE(usage.find("0.05 to 20"), std::string::npos) << usage;
    EXPECT_EQ(usage.find("--"), std::string::npos) << "command-line words in the page:\n" << usage;
    // Every parameter it shows, with the value it shows, is one the parser takes.
    const std::regex parameter("[?&]([a-z]+)(=[0-9.]+)?");
    int shown = 0;
    for (std::sregex_iterator at(usage.begin(), usage.end(), parameter), end; at != end; ++at) {
        const std::string option = "--" + (*at)[1].str() + (*at)[2].str();
        EXPECT_TRUE(parsed({option.c_str()}).ok) << option;
        ++shown;
    }
    EXPECT_GE(shown, 9);
}
