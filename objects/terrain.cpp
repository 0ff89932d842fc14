// Terrain: reading the image, building the grid mesh, and drawing it as triangle strips.
#include "objects/terrain.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/utility.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

// More than any acceptable image needs (32767 pixels), and a bound on what a broken file costs.
const size_t kMaxTerrainFileBytes = 64u << 20;

// Reads at most kMaxTerrainFileBytes; false when the file cannot be opened or read.
bool readWholeFile(const char* path, std::vector<unsigned char>& bytes) {
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        return false;
    }
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (bytes.size() >= kMaxTerrainFileBytes) {
            break;
        }
    }
    bool failed = std::ferror(file) != 0; // a directory opens but cannot be read
    std::fclose(file);
    return !failed;
}

} // namespace

terrainGrid readTerrainGrid(const char* theFilename) {
    char bmpFileName[1024] = {};
    getPathToResourceDirectory(bmpFileName);
    size_t directoryLength = std::strlen(bmpFileName);
    size_t nameLength = theFilename ? std::strlen(theFilename) : 0;
    if (!theFilename || directoryLength + 1 + nameLength >= sizeof bmpFileName) {
        fatal("terrain file path is too long");
    }
    bmpFileName[directoryLength] = '/';
    std::memcpy(bmpFileName + directoryLength + 1, theFilename, nameLength + 1);

    std::vector<unsigned char> bytes;
    if (!readWholeFile(bmpFileName, bytes)) {
        fatalAbout("error opening terrain file", bmpFileName);
    }
    terrainBmpResult parsed = parseTerrainBmp(bytes.data(), bytes.size());
    if (!parsed.ok) {
        fatalAbout(parsed.message.c_str(), bmpFileName);
    }
    return std::move(parsed.grid);
}

terrain::terrain(const char* theFilename) { build(readTerrainGrid(theFilename)); }

terrain::terrain(const terrainGrid& grid) { build(grid); }

terrain::terrain(const terrain& source)
    : object3D(source), width(source.width), height(source.height) {}

void terrain::build(const terrainGrid& grid) {
    width = grid.width;
    height = grid.height;
    vertexCount = uint16_t(width * height);
    faceCount = uint16_t((height - 1) * (2 * width - 2));
    vertices = new (std::nothrow) vertex[vertexCount];
    faces = new (std::nothrow) face[faceCount];
    if (!vertices || !faces) {
        fatal("terrain constructor couldn't allocate a vertex and/or face array (out of memory?)");
    }
    int v = 0;
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c, ++v) {
            vertices[v].set(float(c - width / 2), grid.heights[size_t(v)], float(height / 2 - r));
        }
    }
    // Two triangles a cell, counter-clockwise seen from above, split along (r, c)-(r+1, c+1).
    int f = 0;
    for (int r = 0; r < height - 1; ++r) {
        for (int c = 0; c < width - 1; ++c) {
            short o1 = short(width * r + c);
            short o2 = short(width * (r + 1) + c);
            faces[f++].init(o1, short(o2 + 1), o2);
            faces[f++].init(o1, short(o1 + 1), short(o2 + 1));
        }
    }
    setColour(0, 1, 0, 1);
    calculateVertexNormals();
    flatFaces = false;
}

void terrain::privateDraw() {
    for (int r = 0; r < height - 1; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int c = 0; c < width; ++c) {
            const vertex& next = vertices[width * (r + 1) + c];
            const vertex& here = vertices[width * r + c];
            glNormal3fv(next.normal.data);
            glVertex3fv(next.coordinate.data);
            glNormal3fv(here.normal.data);
            glVertex3fv(here.coordinate.data);
        }
        glEnd();
    }
    gPolygonCount += faceCount;
}

void endianSwapShort(unsigned char* addr) { std::swap(addr[0], addr[1]); }

void endianSwapLong(unsigned char* addr) {
    std::swap(addr[0], addr[3]);
    std::swap(addr[1], addr[2]);
}
