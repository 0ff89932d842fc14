// The soundtrack the build synthesises: its format and length, sound throughout the show, a
// change of character at the scene changes, and silence at the end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

class Soundtrack : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ifstream in("resources/Sonavel.wav", std::ios::binary);
        bytes = std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
    }
    static uint32_t field32(size_t at) {
        return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
               uint32_t(bytes[at + 3]) << 24;
    }
    static uint16_t field16(size_t at) { return uint16_t(bytes[at] | bytes[at + 1] << 8); }
    static int16_t sample(size_t frame, int channel) {
        return int16_t(field16(44 + frame * 4 + size_t(channel) * 2));
    }
    static double rms(double from, double to) {
        double sum = 0;
        size_t n = 0;
        for (size_t f = size_t(from * 44100); f < size_t(to * 44100); ++f, ++n) {
            double s = sample(f, 0);
            sum += s * s;
        }
        return std::sqrt(sum / double(n));
    }
    // Energy below about 150 Hz (bass and drum), through a two-pole low-pass filter.
    static double lowRms(double from, double to) {
        const double a = 1 - std::exp(-2 * 3.14159265 * 150 / 44100);
        double y1 = 0, y2 = 0, sum = 0;
        size_t n = 0;
        for (size_t f = size_t(from * 44100); f < size_t(to * 44100); ++f, ++n) {
            y1 += a * (sample(f, 0) - y1);
            y2 += a * (y1 - y2);
            sum += y2 * y2;
        }
        return std::sqrt(sum / double(n));
    }
    static std::vector<unsigned char> bytes;
};

std::vector<unsigned char> Soundtrack::bytes;

} // namespace

TEST_F(Soundtrack, IsA130SecondStereoPcmWave) {
    ASSERT_GT(bytes.size(), 44u) << "resources/Sonavel.wav is missing: the build makes it";
    EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(field16(20), 1);      // PCM
    EXPECT_EQ(field16(22), 2);      // stereo
    EXPECT_EQ(field32(24), 44100u); // samples a second
    EXPECT_EQ(field16(34), 16);     // bits
    EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
    double seconds = field32(40) / 4.0 / 44100;
    EXPECT_NEAR(seconds, 130, 0.5);
    EXPECT_EQ(bytes.size(), 44 + field32(40));
}

TEST_F(Soundtrack, PlaysThroughTheShowAndEndsInSilence) {
    for (int second = 1; second < 120; ++second) {
        EXPECT_GT(rms(second, second + 1), 1000) << "quiet at " << second << " s";
    }
    EXPECT_LT(rms(126, 127), rms(121, 122) / 4); // fading
    size_t lastFrame = bytes.size() / 4 - 12;
    for (size_t f = size_t(129.6 * 44100); f < lastFrame; ++f) {
        ASSERT_EQ(sample(f, 0), 0);
        ASSERT_EQ(sample(f, 1), 0);
    }
}

TEST_F(Soundtrack, ChangesCharacterWithTheScenes) {
    // Bass and drum come in with the ground at 37 s and leave with the space block at 86 s.
    double beforeGround = lowRms(30, 36.5), withGround = lowRms(37.5, 49.5);
    double tour = lowRms(50.5, 85.5), space = lowRms(86.5, 119.5);
    EXPECT_GT(withGround, 2 * beforeGround);
    EXPECT_GT(tour, 2 * space);
    // The whole mix is louder while the dome builds than in the opening and in space.
    EXPECT_GT(rms(50.5, 85.5), 1.2 * rms(15.5, 36.5));
    EXPECT_GT(rms(50.5, 85.5), 1.2 * rms(86.5, 119.5));
    // Left and right differ: it is stereo, not two copies of one channel.
    int differing = 0;
    for (size_t f = 44100 * 20; f < 44100 * 21; ++f) {
        differing += sample(f, 0) != sample(f, 1);
    }
    EXPECT_GT(differing, 44100 / 2);
}
