// Batching: consecutive primitives with the same draw state share one draw call.
#include "web/gl/stream.h"

#include <cstring>

namespace lfgl {

// Bit for bit: the question is whether the GPU's copy is still the same (and it is the fastest
// comparison; this one runs for every vertex of every frame).
bool operator==(const StreamVertex& a, const StreamVertex& b) {
    static_assert(sizeof(StreamVertex) == 12 + 12 + 16 + 16, "StreamVertex has padding");
    return std::memcmp(&a, &b, sizeof a) == 0;
}

uint16_t unorm16(float v) {
    if (!(v > 0)) {
        return 0;
    }
    if (v >= 1) {
        return 65535;
    }
    return uint16_t(v * 65535.0f + 0.5f);
}

Batch& Stream::batchFor(const DrawState& state) {
    if (batches.empty() || batches.back().replay.list != 0 || batches.back().state != state) {
        Batch b;
        b.state = state;
        b.firstIndex = uint32_t(indices.size());
        batches.push_back(b);
    }
    return batches.back();
}

void Stream::addReplay(const DrawState& state, const ListReplay& replay) {
    Batch b;
    b.state = state;
    b.replay = replay;
    batches.push_back(b);
}

void Stream::rewind() {
    vertices.rewind();
    indices.rewind();
    batches.clear();
}

} // namespace lfgl
