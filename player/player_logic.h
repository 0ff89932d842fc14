// Where the player's keys lead, as plain arithmetic on show times and speeds, so that the keys
// and their tests share it without a window or a clock.
#pragma once

#include <cstdint>
#include <string>

// The playback speeds `[` and `]` step through.
const int kSpeedCount = 5;
const double kSpeeds[kSpeedCount] = {0.25, 0.5, 1, 2, 4};

// The next scene start after t (t itself when none follows), and the start of the scene before
// the one t is in (0 in the first); t in seconds.
double nextSceneStart(double t);
double previousSceneStart(double t);
// Frame steps land on the 25-per-second grid: the next frame after t, or the one before it.
int64_t steppedFrameMilliseconds(int64_t showMilliseconds, int direction);
// The next speed of the list above or below `speed` (the same at either end).
double fasterSpeed(double speed);
double slowerSpeed(double speed);
// "screenshots/lumenfold-084.00s.png" for 84 s; `attempt` > 1 adds "-2", "-3"... before ".png".
extern const char* const kScreenshotFolder;
std::string screenshotFileName(double seconds, int attempt = 1);
