// An audio backend for tests: plays nothing and writes down what it was asked to do.
#pragma once

#include "basicsource/platform.h"

#include <string>

class recordingBackend : public audioBackend {
  public:
    void play(const char* f) override { log += std::string("play ") + f + ";"; }
    void pause() override { log += "pause;"; }
    void resume() override { log += "resume;"; }
    void stop() override { log += "stop;"; }
    void shutdown() override { log += "shutdown;"; }
    std::string log;
};
