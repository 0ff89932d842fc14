// The ground image: layered value noise for the hills, a rise towards the far ridges, and pads
// levelled just under each dome's rim and blended into the hills around them.
#include "tools/ground_layout.h"

#include "tools/little_endian.h"

#include "objects/bcc_triangle_block.h"
#include "objects/hex.h"
#include "objects/hexdome.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

const uint32_t kSeed = 0x4c756d65; // fixed: the image must come out the same every time

// Hash of a lattice point to 0..1.
double lattice(int x, int z, uint32_t octave) {
    uint32_t h = kSeed ^ (uint32_t(x) * 0x8da6b343u) ^ (uint32_t(z) * 0xd8163841u) ^
                 (octave * 0xcb1ab31fu);
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xffffff) / double(0xffffff);
}

double smooth(double t) { return t * t * (3 - 2 * t); }

double valueNoise(double x, double z, uint32_t octave) {
    int x0 = int(std::floor(x)), z0 = int(std::floor(z));
    double fx = smooth(x - x0), fz = smooth(z - z0);
    double a = lattice(x0, z0, octave), b = lattice(x0 + 1, z0, octave);
    double c = lattice(x0, z0 + 1, octave), d = lattice(x0 + 1, z0 + 1, octave);
    return (a + (b - a) * fx) * (1 - fz) + (c + (d - c) * fx) * fz;
}

// Four octaves, -1 .. 1.
double hills(double x, double z) {
    double sum = 0, amplitude = 1, total = 0, frequency = 1.0 / 28;
    for (uint32_t octave = 0; octave < 4; ++octave) {
        sum += amplitude * (2 * valueNoise(x * frequency, z * frequency, octave) - 1);
        total += amplitude;
        amplitude *= 0.45;
        frequency *= 2.1;
    }
    return sum / total;
}

double smoothstep(double edge0, double edge1, double x) {
    return smooth(std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0));
}

// World height of the natural ground, before the pads.
double naturalHeight(double x, double z) {
    double distance = std::sqrt(x * x + z * z);
    double ridge = smoothstep(55, 150, distance) * (1.0 + 0.7 * hills(x * 0.7 + 500, z * 0.7));
    return -3.6 + 0.45 * hills(x, z) + ridge;
}

// World height to grey: the reader maps grey g to -1 + g / 128, placed at -4 and scaled by 2.
double greyOf(double worldY) { return (worldY - kGroundY) / kGroundScale * 128.0 + 128.0; }

} // namespace

domeRim measureRim(const domePlacement& placement) {
    const float info[7] = {0.08f, 0.05f, 0.5f, 0.5f, 0.5f, 1.0f, placement.scale};
    hexdome dome(info, false);
    dome.setLocation(placement.x, placement.y, placement.z);
    domeRim rim{1e9f, 0};
    for (int ring = 0; ring < dome.ringCount(); ++ring) {
        for (int i = 0; i < 5; ++i) {
            auto* panel = dynamic_cast<hex*>(dome.panel(ring, i));
            for (int b = 0; b < panel->blockCount(); ++b) {
                auto* block = dynamic_cast<bcc_triangle_block*>(panel->block(b));
                for (int v = 0; v < 12; ++v) {
                    vec p = block->blockVertex(v).coordinate;
                    block->getAbsoluteLocation(p);
                    rim.lowestY = std::min(rim.lowestY, p.data[1]);
                    float dx = p.data[0] - placement.x, dz = p.data[2] - placement.z;
                    rim.reach = std::max(rim.reach, std::sqrt(dx * dx + dz * dz));
                }
            }
        }
    }
    return rim;
}

std::vector<unsigned char> groundGreys() {
    domeRim rims[4];
    for (int d = 0; d < 4; ++d) {
        rims[d] = measureRim(kShowDomes[d]);
    }
    std::vector<unsigned char> greys;
    greys.reserve(size_t(kGroundSize) * kGroundSize);
    const int half = kGroundSize / 2;
    for (int r = 0; r < kGroundSize; ++r) {
        for (int c = 0; c < kGroundSize; ++c) {
            double x = kGroundScale * (c - half), z = kGroundScale * (half - r);
            double grey = greyOf(naturalHeight(x, z));
            for (int d = 0; d < 4; ++d) {
                const domePlacement& dome = kShowDomes[d];
                double distance = std::hypot(x - dome.x, z - dome.z);
                // Level a little beyond the footprint, then blend back into the hills. The pad's
                // grey is rounded down so that its surface stays under the rim.
                double pad = std::floor(greyOf(rims[d].lowestY - 0.06));
                double weight = 1 - smoothstep(rims[d].reach + 2.5, rims[d].reach + 12, distance);
                grey = grey + (pad - grey) * weight;
                if (weight >= 1) {
                    grey = pad;
                }
            }
            greys.push_back(uint8_t(std::clamp(std::lround(grey), 0L, 255L)));
        }
    }
    return greys;
}

std::vector<unsigned char> groundBmp() {
    std::vector<unsigned char> greys = groundGreys();
    const uint32_t rowBytes = kGroundSize * 3, padding = (4 - rowBytes % 4) % 4;
    const uint32_t pixelBytes = (rowBytes + padding) * kGroundSize;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + pixelBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, kGroundSize);
    put32(out, kGroundSize);
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, pixelBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int r = 0; r < kGroundSize; ++r) {
        for (int c = 0; c < kGroundSize; ++c) {
            unsigned char g = greys[size_t(r * kGroundSize + c)];
            // Grey: only the brightness becomes height.
            out.insert(out.end(), {g, g, g});
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}
