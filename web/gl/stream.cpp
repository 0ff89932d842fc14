// Batching: consecutive primitives with the same draw state share one draw call.
#include "web/gl/stream.h"

namespace lfgl {

bool operator==(const StreamVertex& a, const StreamVertex& b) {
    for (int i = 0; i < 3; ++i) {
        if (a.position[i] != b.position[i] || a.normal[i] != b.normal[i]) {
            return false;
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (a.colour[i] != b.colour[i] || a.specular[i] != b.specular[i]) {
            return false;
        }
    }
    return true;
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
