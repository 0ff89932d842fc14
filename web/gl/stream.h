// The frame's vertices and indices on the CPU side, kept from one submission to the next: a
// write that puts back the value already there costs no upload, so geometry that is the same as
// last frame (the terrain, still blocks) goes to the GPU once. Only changed chunks are sent.
#pragma once

#include "web/gl/state.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lfgl {

// Eye-space position and normal; for glyphs the window position and the font texel.
// Colour is the material's diffuse colour when lit, else the current colour; specular carries
// the material's specular colour and its shininess / 128. All floats: colours then reach the
// framebuffer rounded exactly as the system GL rounds them (16-bit fractions were a step off
// where a colour falls half-way between two 8-bit values, and saved no measurable time).
struct StreamVertex {
    float position[3];
    float normal[3];
    float colour[4];
    float specular[4];
};
static_assert(sizeof(StreamVertex) == 14 * sizeof(float), "StreamVertex has padding");

// Bit for bit: the question is whether the GPU's copy is still the same. Word by word and
// inline: it runs twice for every vertex of every frame.
inline bool operator==(const StreamVertex& a, const StreamVertex& b) {
    uint32_t x[sizeof a / 4], y[sizeof b / 4];
    std::memcpy(x, &a, sizeof a);
    std::memcpy(y, &b, sizeof b);
    for (size_t i = 0; i < sizeof a / 4; ++i) {
        if (x[i] != y[i]) {
            return false;
        }
    }
    return true;
}


// A list of values mirrored in a GPU buffer, with the chunks that differ from the GPU's copy.
template <typename T> class MirroredArray {
  public:
    static const size_t kChunk = 2048;

    size_t size() const { return count; }
    const T& operator[](size_t i) const { return values[i]; }
    const T* data() const { return values.data(); }
    size_t capacity() const { return values.size(); }

    void push(const T& v) {
        if (count == values.size()) {
            grow();
        }
        // A place the GPU's copy has never been given is sent whatever it held before.
        if (count >= sentEnd || !(values[count] == v)) {
            values[count] = v;
            dirty[count / kChunk] = 1;
        }
        ++count;
    }
    void rewind() { count = 0; }
    // Forgets the last n values (a primitive that turned out to draw nothing).
    void drop(size_t n) { count = n > count ? 0 : count - n; }

    // Calls send(first, n) for each run of changed values below size(), then marks them sent.
    template <typename Send> void sendChanges(Send send) {
        const size_t chunks = (count + kChunk - 1) / kChunk;
        size_t chunk = 0;
        while (chunk < chunks) {
            if (!dirty[chunk]) {
                ++chunk;
                continue;
            }
            size_t end = chunk;
            while (end < chunks && dirty[end]) {
                dirty[end++] = 0;
            }
            const size_t first = chunk * kChunk;
            const size_t last = end * kChunk < count ? end * kChunk : count;
            send(first, last - first);
            sentEnd = last > sentEnd ? last : sentEnd;
            chunk = end;
        }
    }
    // After the GPU buffer was made anew: everything has to be sent again.
    void markAllChanged() {
        for (auto& d : dirty) {
            d = 1;
        }
        sentEnd = 0;
    }

  private:
    void grow() {
        const size_t newSize = values.empty() ? 4 * kChunk : values.size() * 2;
        values.resize(newSize, T());
        dirty.resize(newSize / kChunk, 1);
    }

    std::vector<T> values;
    std::vector<uint8_t> dirty;
    size_t count = 0;
    size_t sentEnd = 0; // the GPU's copy holds values[0, sentEnd)
};

// A display list replayed from its own buffer: the transform and the current attributes that
// its vertices take at the time of the call.
struct ListReplay {
    uint32_t list = 0; // 0: the batch draws from the stream
    Mat4 modelView;
    Mat3 normals;
    bool normalize = false;
    StreamVertex current{}; // colour and specular used where the list gave none
};

struct Batch {
    DrawState state;
    uint32_t firstIndex = 0;
    uint32_t indexCount = 0;
    ListReplay replay;
};

struct Stream {
    MirroredArray<StreamVertex> vertices;
    MirroredArray<uint32_t> indices;
    std::vector<Batch> batches;

    bool empty() const { return batches.empty(); }
    // Starts a batch unless the last one has the same state; returns the one to extend.
    Batch& batchFor(const DrawState& state);
    void addReplay(const DrawState& state, const ListReplay& replay);
    void rewind();
};

} // namespace lfgl
