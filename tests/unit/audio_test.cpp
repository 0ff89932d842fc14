// The soundtrack: hooks reach the installed backend, and the SDL backend plays, replaces, pauses
// and stops real WAV files, and stays silent when it cannot play.
#include "basicsource/platform.h"
#include "helpers/recording_audio.h"
#include "helpers/child_process.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

void put16(std::ofstream& out, uint16_t v) { out.put(char(v & 0xff)).put(char(v >> 8)); }
void put32(std::ofstream& out, uint32_t v) {
    put16(out, uint16_t(v & 0xffff));
    put16(out, uint16_t(v >> 16));
}

// A PCM WAV of a quiet tone.
std::string writeWave(const std::string& name, int rate, int channels, int bits, float seconds) {
    std::string path = testing::TempDir() + name;
    std::ofstream out(path, std::ios::binary);
    uint32_t frames = uint32_t(rate * seconds);
    uint32_t bytes = frames * uint32_t(channels * bits / 8);
    out.write("RIFF", 4);
    put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, uint16_t(channels));
    put32(out, uint32_t(rate));
    put32(out, uint32_t(rate * channels * bits / 8));
    put16(out, uint16_t(channels * bits / 8));
    put16(out, uint16_t(bits));
    out.write("data", 4);
    put32(out, bytes);
    for (uint32_t i = 0; i < frames * uint32_t(channels); ++i) {
        int sample = (i / 50) % 2 ? 1000 : -1000;
        if (bits == 16) {
            put16(out, uint16_t(int16_t(sample)));
        } else {
            out.put(char(128 + sample / 256));
        }
    }
    return path;
}

class SdlBackend : public testing::Test {
  protected:
    // The dummy driver consumes sound in real time without a sound card.
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override { systemAudioBackend().shutdown(); }
    audioBackend& sdl = systemAudioBackend();
};

} // namespace

TEST(MusicHooks, ReachTheInstalledBackendAndFallBack) {
    recordingBackend recorder;
    setAudioBackend(&recorder);
    playSoundFile("resources/Sonavel.wav");
    pauseMusic();
    unpauseMusic();
    stopMusic();
    startMusic("other.wav");
    playSoundFile(nullptr);
    platformWindup();
    setAudioBackend(nullptr);
    stopMusic(); // goes to the system backend now, not to the recorder
    EXPECT_EQ(recorder.log,
              "play resources/Sonavel.wav;pause;resume;stop;play other.wav;shutdown;");
}

TEST_F(SdlBackend, QueuesTheWholeFileAndStops) {
    std::string second = writeWave("one_second.wav", 44100, 2, 16, 1.0f);
    sdl.play(second.c_str());
    uint32_t queued = sdl.queuedBytes();
    EXPECT_GT(queued, 176400u - 3 * 16384u);
    EXPECT_LE(queued, 176400u);
    sdl.stop();
    EXPECT_EQ(sdl.queuedBytes(), 0u);
}

TEST_F(SdlBackend, ANewSoundReplacesTheOldOneEvenInAnotherFormat) {
    std::string longer = writeWave("three_seconds.wav", 44100, 2, 16, 3.0f);
    std::string shorter = writeWave("mono_8bit.wav", 22050, 1, 8, 0.5f);
    sdl.play(longer.c_str());
    EXPECT_GT(sdl.queuedBytes(), 400000u);
    sdl.play(shorter.c_str());
    EXPECT_LE(sdl.queuedBytes(), 11025u);
    EXPECT_GT(sdl.queuedBytes(), 0u);
}

TEST_F(SdlBackend, PauseHoldsTheSoundUntilResumed) {
    std::string path = writeWave("pause.wav", 44100, 2, 16, 1.0f);
    sdl.play(path.c_str());
    sdl.pause();
    uint32_t held = sdl.queuedBytes();
    EXPECT_GT(held, 0u);
    sdl.resume();
    sdl.stop();
    EXPECT_EQ(sdl.queuedBytes(), 0u);
    sdl.resume(); // resuming after a stop plays nothing
    EXPECT_EQ(sdl.queuedBytes(), 0u);
}

TEST_F(SdlBackend, UnplayableFilesAreSilentAndStopWhatPlayed) {
    std::string good = writeWave("good.wav", 44100, 2, 16, 1.0f);
    std::string text = testing::TempDir() + "not_a_wave.wav";
    std::ofstream(text) << "this is not a sound";
    std::string truncated = testing::TempDir() + "truncated.wav";
    {
        std::ifstream in(good, std::ios::binary);
        std::vector<char> head(30);
        in.read(head.data(), 30);
        std::ofstream(truncated, std::ios::binary).write(head.data(), 30);
    }
    testing::internal::CaptureStdout();
    for (const std::string& bad : {std::string("/no/such/file.wav"), text, truncated,
                                   testing::TempDir()}) {
        sdl.play(good.c_str());
        sdl.play(bad.c_str());
        EXPECT_EQ(sdl.queuedBytes(), 0u) << bad;
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(SdlBackendWithoutDevice, RunsOnSilently) {
    std::string path = writeWave("nodevice.wav", 44100, 2, 16, 0.2f);
    childOutcome outcome = runInChild([&] {
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        audioBackend& sdl = systemAudioBackend();
        sdl.play(path.c_str());
        sdl.pause();
        sdl.resume();
        sdl.play(path.c_str());
        std::exit(sdl.queuedBytes() == 0 ? 0 : 1);
    });
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.standardOutput, "");
}
