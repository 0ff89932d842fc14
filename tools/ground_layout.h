// The show's ground: where the terrain and the domes stand, and the image generator behind
// resources/ground.bmp. Shared by the generator and the tests that check the image fits the show.
#pragma once

#include <vector>

// The terrain's placement in the show: location (0, -4, 0), local scale 2, 181 x 181 pixels.
const float kGroundY = -4.0f;
const float kGroundScale = 2.0f;
const int kGroundSize = 181;

struct domePlacement {
    float x, y, z; // location
    float scale;   // the description's scale: the dome's radius
};
// The four domes of the show, all open domes.
const domePlacement kShowDomes[4] = {
    {0, -2.15f, 20, 4}, {30, -3, -30, 4}, {30, -2.1f, 30, 5}, {-30, -2, -10, 6}};

struct domeRim {
    float lowestY;   // world height of the rim's lowest point
    float reach;     // horizontal distance of the farthest block corner from the dome's axis
};
// Measured on a real open dome built with the show's block description.
domeRim measureRim(const domePlacement& dome);

// The grey value (0 to 255) of every pixel, rows in file order (bottom row, world +z, first).
std::vector<unsigned char> groundGreys();
// The whole BMP file.
std::vector<unsigned char> groundBmp();
