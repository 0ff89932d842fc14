// Batching: consecutive primitives with the same draw state share one draw call.
#include "web/gl/stream.h"

namespace lfgl {

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
