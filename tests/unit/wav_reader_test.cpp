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
    const std::vector<unsigned char> notRiff(64, 'x');
    EXPECT_FALSE(parse(notRiff, sound, why));
    EXPECT_EQ(why, "it is not a WAV file");
    EXPECT_FALSE(parse(riff({{"fmt ", pcmFormat(3, 2, 44100, 32)}, {"data", kEightBytes}}), sound, why));
    EXPECT_EQ(why, "it is not integer PCM");
    EXPECT_FALSE(parse(riff({{"data", kEightBytes}, {"fmt ", pcmFormat(1, 2, 44100, 16)}}), sound, why));
    EXPECT_EQ(why, "its samples come before their format");
    EXPECT_FALSE(parse(riff({{"fmt ", pcmFormat(1, 2, 44100, 16)}}), sound, why));
    EXPECT_EQ(why, "it has no samples");
    EXPECT_FALSE(parse(riff({{"fmt ", {1, 0, 2}}, {"data", kEightBytes}}), sound, why));
    EXPECT_EQ(why, "its format chunk is too short");
    EXPECT_FALSE(readWav("resources/no-such-sound.wav", sound, why));
    EXPECT_EQ(why, "it cannot be opened");
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
