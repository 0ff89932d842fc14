// The player's controls around the show: jumps to any moment (posed exactly as if the show had
// played there), frame steps, scene starts, playback speed, looping, the help overlay, the
// timeline bar and screenshots. The show's own keys stay in main.cpp; these take the keys the
// show leaves unused, and only act through the show's clock, cast and soundtrack.
#pragma once

#include <cstdint>
#include <string>

// Where each part of the show starts, in seconds: scenes 1 to 5, then the credits.
const int kSceneCount = 6;
const double kSceneStarts[kSceneCount] = {0, 15, 37, 50, 86, 120};
// The playback speeds `[` and `]` step through.
const int kSpeedCount = 5;
const double kSpeeds[kSpeedCount] = {0.25, 0.5, 1, 2, 4};

// Where a key leads, from the show time `t` (seconds); pure, for the keys and their tests.
// The next scene start after t (t itself when none follows), and the start of the scene before
// the one t is in (0 in the first).
double nextSceneStart(double t);
double previousSceneStart(double t);
// Frame steps land on the 25-per-second grid: the next frame after t, or the one before it.
int64_t steppedFrameMilliseconds(int64_t showMilliseconds, int direction);
// The next speed of the list above or below `speed` (the same at either end).
double fasterSpeed(double speed);
double slowerSpeed(double speed);
// "screenshots/lumenfold-084.00s.png" for 84 s; `attempt` > 1 adds "-2", "-3"... before ".png".
std::string screenshotFileName(double seconds, int attempt = 1);

// Jumps to `seconds` (clamped to the show): the cast is posed as the show has it there and the
// soundtrack follows. From the opening screen or after the end it lands paused; otherwise the
// show keeps playing or stays paused.
void jumpTo(double seconds);
// Playback speed; the soundtrack is heard at 1x only.
void setPlaybackSpeed(double speed);
// At the end of the show, start again from 0 s with the soundtrack (for exhibitions).
void setLooping(bool loop);
bool looping();
// Called by the frame loop when the show has reached its end; true when it started again.
bool restartIfLooping();

// Called every frame while the show plays: where the sound heard has drifted from the picture
// by more than kSoundSlack seconds (a sound card's clock is not the system's), it is moved back.
const double kSoundSlack = 0.02;
void keepSoundInStep();

// Handles the player's keys; false for any other key.
bool playerKeyPress(unsigned char key);
bool playerSpecialKeyPress(int key);

// The help overlay, the timeline bar (with the status line) and notices, over the frame.
void drawPlayerOverlays();
bool helpShown();
// A message shown on the status line for a few seconds, e.g. where a screenshot went.
void showNotice(const std::string& text);
const std::string& currentNotice();
// Saves the current picture without overlays; returns the file's name, empty on failure.
std::string saveScreenshot();
