// The Windows sound's WAV reader (windows/wav_reader.cpp, free of Windows, so it runs here):
// what it takes from the file, what it skips and what it refuses.
#include "windows/wav_reader.h"

#include "tools/little_endian.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct chunk {
    std::string id;
    std::vector<unsigned char> body;
};

std::vector<unsigned char> pcmFormat(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<unsigned char> f;
    put16(f, tag);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * channels * bits / 8);
    put16(f, uint16_t(channels * bits / 8));
    put16(f, bits);
    return f;
}

std::vector<unsigned char> riff(const std::vector<chunk>& chunks) {
    std::vector<unsigned char> out = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const chunk& c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        put32(out, uint32_t(c.body.size()));
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2) {
            out.push_back(0); // RIFF pads odd chunks
        }
    }
    return out;
}

bool parse(const std::vector<unsigned char>& bytes, wavSound& sound, std::string& why) {
    return parseWav(bytes.data(), bytes.size(), sound, why);
}

const std::vector<unsigned char> kEightBytes = {1, 2, 3, 4, 5, 6, 7, 8};

} // namespace

TEST(WavReader, TakesTheFormatAndTheSamplesPastOtherChunks) {
    // An odd-length chunk before the samples: its padding byte must be skipped too.
    const auto bytes = riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"LIST", {'a', 'b', 'c'}},
                             {"data", kEightBytes}});
    wavSound sound;
    std::string why;
    ASSERT_TRUE(parse(bytes, sound, why)) << why;
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 44100u);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.bytesPerFrame(), 4u);
    EXPECT_DOUBLE_EQ(sound.bytesPerSecond(), 176400);
    EXPECT_EQ(sound.samples, kEightBytes);

    // The extensible format names plain PCM in its sub-format.
    std::vector<unsigned char> extensible = pcmFormat(0xfffe, 1, 8000, 8);
    put16(extensible, 22);
    put16(extensible, 8);
    put32(extensible, 0);
    put16(extensible, 1);
    extensible.resize(40, 0);
    ASSERT_TRUE(parse(riff({{"fmt ", extensible}, {"data", kEightBytes}}), sound, why)) << why;
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.samples.size(), 8u);
}

TEST(WavReader, KeepsTheWholeFramesOfAFileCutShort) {
    auto bytes = riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"data", std::vector<unsigned char>(100, 7)}});
    bytes.resize(bytes.size() - 100 + 10); // 10 of the 100 bytes arrived: two whole frames
    wavSound sound;
    std::string why;
    ASSERT_TRUE(parse(bytes, sound, why)) << why;
    EXPECT_EQ(sound.samples.size(), 8u);
}

TEST(WavReader, RefusesWhatItCannotPlaySayingWhy) {
    wavSound sound;
    std::string why;
    auto refusal = [&](const std::vector<unsigned char>& bytes) {
        EXPECT_FALSE(parse(bytes, sound, why));
        EXPECT_TRUE(sound.samples.empty());
        return why;
    };
    EXPECT_EQ(refusal(std::vector<unsigned char>(64, 'x')), "is not a WAV file");
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(3, 2, 96000, 32)}, {"data", kEightBytes}})),
              "is not integer PCM (its format is 3)"); // floating point
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(2, 2, 44100, 4)}, {"data", kEightBytes}})),
              "is not integer PCM (its format is 2)"); // ADPCM
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(1, 0, 44100, 16)}, {"data", kEightBytes}})),
              "names no channels");
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(1, 2, 0, 16)}, {"data", kEightBytes}})),
              "names no sample rate");
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(1, 1, 44100, 12)}, {"data", kEightBytes}})),
              "has 12-bit samples, not 8, 16, 24 or 32");
    EXPECT_EQ(refusal(riff({{"data", kEightBytes}, {"fmt ", pcmFormat(1, 2, 44100, 16)}})),
              "has its samples before their format");
    EXPECT_EQ(refusal(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}})), "has no samples");
    EXPECT_EQ(refusal(riff({{"fmt ", {1, 0, 2}}, {"data", kEightBytes}})),
              "has a format chunk too short to read");
    EXPECT_EQ(refusal(riff({{"LIST", {'a', 'b'}}})), "has no format chunk");
}

// A data chunk of no samples (or of less than one frame) is refused: the player would otherwise
// have nothing to hand the device and ask again every frame.
TEST(WavReader, RefusesADataChunkWithoutAWholeFrame) {
    wavSound sound;
    std::string why;
    EXPECT_FALSE(parse(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"data", {}}}), sound, why));
    EXPECT_EQ(why, "has no samples");
    EXPECT_FALSE(parse(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"data", {1, 2, 3}}}), sound, why));
    EXPECT_EQ(why, "has no samples");
}

// Each call says its own file's reason: none after a success, and never an earlier file's.
TEST(WavReader, EachCallSaysOnlyItsOwnReason) {
    wavSound sound;
    std::string why;
    EXPECT_FALSE(parse(std::vector<unsigned char>(64, 'x'), sound, why));
    ASSERT_TRUE(parse(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"data", kEightBytes}}), sound, why));
    EXPECT_EQ(why, "");

    EXPECT_FALSE(parse(std::vector<unsigned char>(64, 'x'), sound, why));
    auto cutInFormat = riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}});
    cutInFormat.resize(12 + 8 + 10);
    EXPECT_FALSE(parse(cutInFormat, sound, why));
    EXPECT_EQ(why, "is cut short in its format chunk");
}

// 24- and 32-bit PCM are read as they are; the device is then told their format in the
// extensible form, as it is for more than two channels.
TEST(WavReader, TakesWideSamplesAndSaysTheyNeedTheExtensibleFormat) {
    wavSound sound;
    std::string why;
    const std::vector<unsigned char> twoFrames(12, 5);
    ASSERT_TRUE(parse(riff({{"fmt ", pcmFormat(1, 2, 48000, 24)}, {"data", twoFrames}}), sound, why));
    EXPECT_EQ(sound.bytesPerFrame(), 6u);
    EXPECT_EQ(sound.samples.size(), 12u);
    EXPECT_TRUE(sound.needsExtensibleFormat());
    ASSERT_TRUE(parse(riff({{"fmt ", pcmFormat(1, 1, 48000, 32)}, {"data", twoFrames}}), sound, why));
    EXPECT_EQ(sound.samples.size(), 12u);
    EXPECT_TRUE(sound.needsExtensibleFormat());
    ASSERT_TRUE(parse(riff({{"fmt ", pcmFormat(1, 6, 48000, 16)}, {"data", twoFrames}}), sound, why));
    EXPECT_TRUE(sound.needsExtensibleFormat());
    ASSERT_TRUE(parse(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}, {"data", twoFrames}}), sound, why));
    EXPECT_FALSE(sound.needsExtensibleFormat());
}

// A missing file and one that cannot be read are told apart.
TEST(WavReader, TellsAMissingFileFromAnUnreadableOne) {
    wavSound sound;
    std::string why;
    EXPECT_FALSE(readWav("resources/no-such-sound.wav", sound, why));
    EXPECT_EQ(why, "is missing");
    EXPECT_FALSE(readWav("resources", sound, why)); // a folder: opens on Linux, cannot be read
    EXPECT_EQ(why, "cannot be read");
    EXPECT_TRUE(sound.samples.empty());
}

TEST(WavReader, ReadsTheShowsSoundtrack) {
    wavSound sound;
    std::string why;
    ASSERT_TRUE(readWav("resources/Sonavel.wav", sound, why)) << why;
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.sampleRate, 44100u);
    EXPECT_GT(sound.samples.size() / sound.bytesPerSecond(), 120.0);
}
