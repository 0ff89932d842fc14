// The player's arithmetic: scene starts, the frame grid, speeds and screenshot names.
#include "player/player_logic.h"

#include "basicsource/scene.h"

#include <algorithm>
#include <cstdio>

const char* const kScreenshotFolder = "screenshots";

namespace {
const int64_t kFrameMilliseconds = 1000 / kPoseFramesPerSecond;
} // namespace

double nextSceneStart(double t) {
    for (double start : kSceneStarts) {
        if (start > t) {
            return start;
        }
    }
    return t;
}

double previousSceneStart(double t) {
    int current = 0;
    for (int i = 0; i < kSceneCount; ++i) {
        if (kSceneStarts[i] <= t) {
            current = i;
        }
    }
    return kSceneStarts[std::max(current - 1, 0)];
}

int64_t steppedFrameMilliseconds(int64_t showMilliseconds, int direction) {
    int64_t frame = showMilliseconds / kFrameMilliseconds;
    if (direction > 0) {
        ++frame;
    } else if (showMilliseconds % kFrameMilliseconds == 0) {
        --frame;
    }
    return std::clamp<int64_t>(frame * kFrameMilliseconds, 0, kShowLengthMilliseconds);
}

double fasterSpeed(double speed) {
    for (double s : kSpeeds) {
        if (s > speed * 1.0001) {
            return s;
        }
    }
    return std::max(speed, kSpeeds[kSpeedCount - 1]);
}

double slowerSpeed(double speed) {
    for (int i = kSpeedCount - 1; i >= 0; --i) {
        if (kSpeeds[i] < speed * 0.9999) {
            return kSpeeds[i];
        }
    }
    return std::min(speed, kSpeeds[0]);
}

std::string screenshotFileName(double seconds, int attempt) {
    char name[96];
    if (attempt > 1) {
        std::snprintf(name, sizeof name, "%s/lumenfold-%06.2fs-%d.png", kScreenshotFolder,
                      seconds, attempt);
    } else {
        std::snprintf(name, sizeof name, "%s/lumenfold-%06.2fs.png", kScreenshotFolder, seconds);
    }
    return name;
}
