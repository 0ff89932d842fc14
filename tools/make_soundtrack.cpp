// Synthesises the show's soundtrack, resources/Sonavel.wav: about 130 s of 16-bit stereo PCM at
// 44.1 kHz, made from sine partials, envelopes and an echo, with no recorded samples. The music
// follows the show: a new section starts at 15, 37, 50, 86 and 120 s, and it fades to silence
// before 130 s. Deterministic: the same bytes on every run.
//
//   make_soundtrack OUTPUT.wav
#include "tools/little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

const int kRate = 44100;
const double kLength = 130.0;
const double kPi = 3.14159265358979323846;
const double kBeat = 0.6; // 100 beats a minute

struct stereo {
    std::vector<float> left, right;
    explicit stereo(size_t n) : left(n), right(n) {}
};

double midiFrequency(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

// Attack, hold at `level`, then an exponential release over `release` seconds.
double envelope(double t, double attack, double hold, double release) {
    if (t < 0) {
        return 0;
    }
    if (t < attack) {
        return t / attack;
    }
    if (t < attack + hold) {
        return 1;
    }
    return std::exp(-(t - attack - hold) * 5.0 / release);
}

enum instrument { pad, pluck, bell, bass, kick, lead };

struct note {
    double start, length;
    int pitch;
    instrument voice;
    double level, pan; // pan -1 (left) .. 1 (right)
};

// One sample of a voice, t seconds into the note.
double voiceSample(const note& n, double t, int channel) {
    double f = midiFrequency(n.pitch);
    switch (n.voice) {
    case pad: {
        // Slightly detuned between the ears for width.
        double detune = channel == 0 ? 0.9985 : 1.0015;
        double e = envelope(t, 1.5, n.length - 1.5, 2.5);
        double s = std::sin(2 * kPi * f * detune * t) + 0.35 * std::sin(2 * kPi * 2 * f * t) +
                   0.12 * std::sin(2 * kPi * 3 * f * detune * t);
        return e * s * (0.85 + 0.15 * std::sin(2 * kPi * 0.2 * t));
    }
    case pluck: {
        double e = envelope(t, 0.004, 0, 0.9);
        return e * (std::sin(2 * kPi * f * t) + 0.4 * std::exp(-t * 6) * std::sin(4 * kPi * f * t) +
                    0.15 * std::exp(-t * 12) * std::sin(6 * kPi * f * t));
    }
    case bell: {
        double e = envelope(t, 0.003, 0, 3.5);
        return e * (std::sin(2 * kPi * f * t) + 0.5 * std::exp(-t * 1.5) * std::sin(2 * kPi * f * 2.76 * t) +
                    0.25 * std::exp(-t * 3) * std::sin(2 * kPi * f * 5.4 * t));
    }
    case bass: {
        double e = envelope(t, 0.01, n.length * 0.6, 0.5);
        return e * std::tanh(1.6 * std::sin(2 * kPi * f * t));
    }
    case kick: {
        // A pitch falling from 120 Hz to 45 Hz: the phase is the integral of that sweep.
        double phase = 2 * kPi * (45 * t + 75 * (1 - std::exp(-t * 30)) / 30);
        return envelope(t, 0.002, 0, 0.35) * std::sin(phase);
    }
    case lead: {
        double vibrato = 1 + 0.004 * std::sin(2 * kPi * 5.2 * t) * std::min(1.0, t * 2);
        double e = envelope(t, 0.05, n.length - 0.05, 0.8);
        return e * (std::sin(2 * kPi * f * vibrato * t) + 0.2 * std::sin(4 * kPi * f * vibrato * t));
    }
    }
    return 0;
}

double tail(instrument v) {
    switch (v) {
    case pad: return 3.0;
    case pluck: return 1.2;
    case bell: return 4.5;
    case bass: return 0.8;
    case kick: return 0.5;
    case lead: return 1.2;
    }
    return 1;
}

void render(const note& n, stereo& dry, stereo& wet) {
    size_t first = size_t(n.start * kRate);
    size_t count = size_t((n.length + tail(n.voice)) * kRate);
    double gains[2] = {n.level * std::sqrt((1 - n.pan) / 2), n.level * std::sqrt((1 + n.pan) / 2)};
    // Plucks, bells and the lead go through the echo as well.
    bool echoed = n.voice == pluck || n.voice == bell || n.voice == lead;
    for (size_t i = 0; i < count && first + i < dry.left.size(); ++i) {
        double t = double(i) / kRate;
        for (int channel = 0; channel < 2; ++channel) {
            float s = float(voiceSample(n, t, channel) * gains[channel]);
            (channel == 0 ? dry.left : dry.right)[first + i] += s;
            if (echoed) {
                (channel == 0 ? wet.left : wet.right)[first + i] += s;
            }
        }
    }
}

// A chord as MIDI notes, lowest first.
using chord = std::vector<int>;

void padChord(std::vector<note>& notes, double start, double length, const chord& c, double level) {
    for (size_t i = 0; i < c.size(); ++i) {
        notes.push_back({start, length, c[i], pad, level, -0.5 + double(i) / double(c.size())});
    }
}

void arpeggio(std::vector<note>& notes, double start, double end, double step, const chord& c,
              int octaveUp, double level) {
    static const int pattern[8] = {0, 2, 1, 3, 2, 4, 3, 1};
    int k = 0;
    for (double t = start; t < end - 1e-9; t += step, ++k) {
        int index = pattern[k % 8] % int(c.size());
        double pan = (k % 2 ? 0.45 : -0.45);
        notes.push_back({t, step, c[size_t(index)] + 12 * octaveUp, pluck, level * (k % 4 == 0 ? 1.0 : 0.75), pan});
    }
}

std::vector<note> score() {
    std::vector<note> notes;
    // D minor: Dm9, Bb(add9), F, C, Gm, A.
    const chord Dm9 = {50, 53, 57, 60, 64}, Bb = {46, 53, 58, 62, 65}, F = {41, 53, 57, 60, 65},
                C = {48, 52, 55, 60, 64}, Gm = {43, 55, 58, 62, 65}, A = {45, 52, 57, 61, 64};

    // 0-15 s: the lone block. A soft pad and sparse bells.
    padChord(notes, 0, 15, Dm9, 0.05);
    const int bells1[] = {74, 77, 81, 79, 76, 74};
    for (int i = 0; i < 6; ++i) {
        notes.push_back({1.2 + i * 2.4, 0.5, bells1[i], bell, 0.09, i % 2 ? 0.4 : -0.4});
    }

    // 15-37 s: the block spins and the hexagon builds: plucked arpeggios over the pad.
    const chord* s2[] = {&Dm9, &Bb, &F, &C};
    for (int bar = 0; bar < 5; ++bar) {
        double start = 15 + bar * 4.8, end = std::min(37.0, start + 4.8);
        const chord& c = *s2[bar % 4];
        padChord(notes, start, end - start, c, 0.04);
        arpeggio(notes, start, end, kBeat / 2, c, 1, 0.06);
    }

    // 37-50 s: ground and domes: bass and a soft pulse join.
    const chord* s3[] = {&Gm, &Dm9, &Bb, &A};
    for (int bar = 0; bar < 3; ++bar) {
        double start = 37 + bar * 4.8, end = std::min(50.0, start + 4.8);
        const chord& c = *s3[bar % 4];
        padChord(notes, start, end - start, c, 0.04);
        arpeggio(notes, start, end, kBeat / 2, c, 1, 0.05);
        for (double t = start; t < end - 1e-9; t += kBeat) {
            notes.push_back({t, kBeat * 0.9, c[0] - 12, bass, 0.10, 0});
            notes.push_back({t, 0.3, 0, kick, 0.22, 0});
        }
    }

    // 50-86 s: the dome builds itself: brighter chords, faster arpeggios and a melody.
    const chord* s4[] = {&F, &C, &Dm9, &Bb};
    const int melody[] = {81, 79, 77, 76, 77, 74, 72, 74, 76, 77, 79, 81, 84, 81, 79, 77,
                          76, 77, 79, 76, 74, 72, 74, 77, 79, 81, 79, 77, 76, 74};
    int m = 0;
    for (int bar = 0; bar < 8; ++bar) {
        double start = 50 + bar * 4.8, end = std::min(86.0, start + 4.8);
        const chord& c = *s4[bar % 4];
        padChord(notes, start, end - start, c, 0.035);
        arpeggio(notes, start, end, kBeat / 4, c, 1, 0.045);
        for (double t = start; t < end - 1e-9; t += kBeat) {
            notes.push_back({t, kBeat * 0.9, c[0] - 12, bass, 0.10, 0});
            notes.push_back({t, 0.3, 0, kick, 0.2, 0});
        }
        for (double t = start; t < end - 1e-9 && m < 30; t += 2 * kBeat, ++m) {
            notes.push_back({t, 2 * kBeat * 0.95, melody[m], lead, 0.055, 0.15});
        }
    }

    // 86-120 s: the space block: high, slow and airy; no pulse.
    const chord BbMaj7 = {58, 62, 65, 69}, FoverA = {57, 60, 65, 72}, Gm7 = {55, 58, 62, 65},
                Dm9High = {62, 65, 69, 72, 76};
    const chord* s5[] = {&BbMaj7, &FoverA, &Gm7, &Dm9High};
    const int bells5[] = {86, 84, 81, 77, 79, 81, 74, 76, 77, 81, 84, 86, 88, 86};
    int b = 0;
    for (int part = 0; part < 5; ++part) {
        double start = 86 + part * 7.2, end = std::min(120.0, start + 7.2);
        padChord(notes, start, end - start, *s5[part % 4], 0.045);
        for (double t = start + 0.6; t < end - 1e-9 && b < 14; t += 2.4, ++b) {
            notes.push_back({t, 0.6, bells5[b], bell, 0.08, b % 2 ? 0.6 : -0.6});
        }
    }

    // 120-130 s: the credits. One last chord that dies away.
    padChord(notes, 120, 6.5, {38, 50, 57, 64, 69}, 0.05);

    // Every section opens with a bell chord, so the changes of scene are heard.
    for (double opening : {15.0, 37.0, 50.0, 86.0, 120.0}) {
        for (int pitch : {62, 69, 74, 81}) {
            notes.push_back({opening, 0.5, pitch, bell, 0.06, (pitch - 71) / 12.0});
        }
    }
    notes.push_back({120, 0.6, 74, bell, 0.1, 0});
    notes.push_back({121.2, 0.6, 81, bell, 0.07, 0.3});
    return notes;
}

// Stereo feedback echo of the wet bus, added to the dry mix.
void addEcho(stereo& dry, const stereo& wet) {
    const size_t delay = size_t(0.45 * kRate);
    std::vector<float> l(wet.left), r(wet.right);
    for (size_t i = delay; i < l.size(); ++i) {
        // Ping-pong: each repeat crosses to the other side.
        float fromLeft = l[i - delay], fromRight = r[i - delay];
        l[i] += 0.38f * fromRight;
        r[i] += 0.38f * fromLeft;
    }
    for (size_t i = 0; i < l.size(); ++i) {
        dry.left[i] += 0.3f * (l[i] - wet.left[i]);
        dry.right[i] += 0.3f * (r[i] - wet.right[i]);
    }
}

// Fade in over the first second; fade to silence from 120 s, reaching it at 129.5 s.
double masterGain(double t) {
    double in = std::min(1.0, t / 1.0);
    double out = t < 120 ? 1.0 : std::max(0.0, (129.5 - t) / 9.5);
    return in * out * out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_soundtrack OUTPUT.wav\n");
        return 2;
    }
    const size_t frames = size_t(kLength * kRate);
    stereo dry(frames), wet(frames);
    for (const note& n : score()) {
        render(n, dry, wet);
    }
    addEcho(dry, wet);

    std::vector<unsigned char> wav;
    const uint32_t dataBytes = uint32_t(frames * 4);
    wav.reserve(44 + dataBytes);
    for (char c : {'R', 'I', 'F', 'F'}) wav.push_back(uint8_t(c));
    put32(wav, 36 + dataBytes);
    for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) wav.push_back(uint8_t(c));
    put32(wav, 16);
    put16(wav, 1);
    put16(wav, 2);
    put32(wav, kRate);
    put32(wav, kRate * 4);
    put16(wav, 4);
    put16(wav, 16);
    for (char c : {'d', 'a', 't', 'a'}) wav.push_back(uint8_t(c));
    put32(wav, dataBytes);
    for (size_t i = 0; i < frames; ++i) {
        double g = masterGain(double(i) / kRate);
        for (float s : {dry.left[i], dry.right[i]}) {
            // Gentle saturation keeps the loudest moments from clipping.
            double v = std::tanh(2.4 * s) * g * 0.9;
            put16(wav, uint16_t(int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32767))));
        }
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(wav.data(), 1, wav.size(), out) != wav.size() || std::fclose(out) != 0) {
        std::fprintf(stderr, "make_soundtrack: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
