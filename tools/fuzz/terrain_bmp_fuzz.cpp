// libFuzzer target for the terrain's BMP reader: any bytes must give either a grid that keeps the
// reader's promises or a message, never a crash, a hang or undefined behaviour.
#include "objects/terrain_bmp.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    terrainBmpResult result = parseTerrainBmp(data, size);
    if (!result.ok) {
        if (result.message.empty()) {
            std::abort();
        }
        return 0;
    }
    const terrainGrid& grid = result.grid;
    if (grid.width <= 0 || grid.height <= 0 || long(grid.width) * grid.height > 32767 ||
        grid.heights.size() != size_t(grid.width) * size_t(grid.height)) {
        std::abort();
    }
    for (float h : grid.heights) {
        if (!(h >= -1.0f && h <= 0.9921876f)) {
            std::abort();
        }
    }
    return 0;
}
