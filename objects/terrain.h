// A ground surface built from an image: every pixel of a 24-bit BMP in the resources directory
// becomes a grid vertex whose height is the pixel's brightness; shaded smoothly, plain green.
#pragma once

#include "objects/terrain_bmp.h"
#include "support/object3d.h"

class terrain : public object3D {
  public:
    static const short bmpFileHeaderSize = 14;
    static const short bmpInfoHeaderSize = 40;

    // Reads theFilename from the resources directory; any failure ends the program via fatal.
    explicit terrain(const char* theFilename);
    // Builds the mesh from an already decoded grid.
    explicit terrain(const terrainGrid& grid);
    terrain(const terrain& source);
    ~terrain() override = default;
    object3D* clone() const override { return new terrain(*this); }

    short getWidth() const { return width; }
    short getHeight() const { return height; }
    const vertex& gridVertex(int i) const { return vertices[i]; }
    const face& gridFace(int i) const { return faces[i]; }

  protected:
    void privateDraw() override;

  private:
    void build(const terrainGrid& grid);

    short width = 0;
    short height = 0;
};

// Reads and decodes theFilename from the resources directory; any failure ends the program via
// fatal, with the same messages as the constructor.
terrainGrid readTerrainGrid(const char* theFilename);

// Reverse the byte order of the 2- or 4-byte field at addr, in place.
void endianSwapShort(unsigned char* addr);
void endianSwapLong(unsigned char* addr);
