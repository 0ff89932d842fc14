// An audio backend for tests: plays nothing and writes down what it was asked to do.
#pragma once

#include "basicsource/platform.h"

#include <cstdio>
#include <string>

class recordingBackend : public audioBackend {
  public:
    void play(const char* f) override { log += std::string("play ") + f + ";"; }
    void pause() override { log += "pause;"; }
    void resume() override { log += "resume;"; }
    void stop() override { log += "stop;"; }
    void shutdown() override { log += "shutdown;"; }
    void seek(double seconds) override {
        char text[48];
        std::snprintf(text, sizeof text, "seek %.3f;", seconds);
        log += text;
    }
    double playedSeconds() const override { return heard; }
    std::string log;
    double heard = -1; // what playedSeconds reports
};
