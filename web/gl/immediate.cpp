// glBegin/glEnd: each vertex is taken to eye coordinates on the CPU as it arrives and appended to
// the stream; glEnd turns the block into indices of triangles (filled polygons), edges (polygon
// mode GL_LINE) or points, added to the batch whose draw state matches.
#include "web/gl/context.h"
#include "web/gl/polygons.h"

#include <cstring>

namespace lfgl {

namespace {

// From the position alone: vertices that share one but differ otherwise (the corners of flat
// faces) only cost a comparison.
uint32_t hashOf(const StreamVertex& v) {
    uint32_t words[3];
    std::memcpy(words, v.position, sizeof words);
    const uint32_t h = (words[0] * 73856093u) ^ (words[1] * 19349663u) ^ (words[2] * 83492791u);
    return h ^ (h >> 13);
}

float clamped(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

bool isPolygonMode(GLenum mode) {
    return mode == GL_TRIANGLES || mode == GL_TRIANGLE_STRIP || mode == GL_TRIANGLE_FAN ||
           mode == GL_QUADS || mode == GL_POLYGON;
}

} // namespace

const StreamVertex& Context::attributes() {
    if (!attributesChanged) {
        return current;
    }
    attributesChanged = false;
    const Rgba& c = state.lighting ? state.material.diffuse : state.colour;
    for (int i = 0; i < 4; ++i) {
        current.colour[i] = state.lighting ? c.v[i] : clamped(c.v[i]); // materials go unclamped
        current.specular[i] = 0;
    }
    if (state.lighting) {
        for (int i = 0; i < 3; ++i) {
            current.specular[i] = state.material.specular.v[i];
        }
        current.specular[3] = state.material.shininess / 128;
    }
    return current;
}

Batch& Context::batchFor(Shape shape, Kind kind) {
    if (drawStateChanged || shape != lastShape || kind != lastKind || stream.batches.empty()) {
        stream.batchFor(drawStateFor(state, projection(), shape, kind));
        drawStateChanged = false;
        lastShape = shape;
        lastKind = kind;
    }
    return stream.batches.back();
}

void Context::begin(GLenum mode) {
    if (inBegin) {
        error(GL_INVALID_OPERATION);
        return;
    }
    if (mode != GL_POINTS && !isPolygonMode(mode)) {
        error(GL_INVALID_ENUM);
        return;
    }
    if (recording) {
        record({ListCommand::Begin, mode, {0, 0, 0, 0}});
    }
    inBegin = true;
    beginMode = mode;
    blockVertices.clear();
}

void Context::end() {
    if (!inBegin) {
        error(GL_INVALID_OPERATION);
        return;
    }
    inBegin = false;
    if (recording) {
        record({ListCommand::End, 0, {0, 0, 0, 0}});
    }
    if (recordingOnly()) {
        return;
    }
    assemble(beginMode, blockVertices.data(), uint32_t(blockVertices.size()));
    submitEarly();
}

void Context::normal(const float* n) {
    if (recording) {
        record({ListCommand::Normal, 0, {n[0], n[1], n[2], 0}});
    }
    if (recordingOnly()) {
        return;
    }
    state.normal = Vec3{n[0], n[1], n[2]};
    eyeNormalChanged = true;
}

void Context::colour(float r, float g, float b, float a) {
    if (recording) {
        record({ListCommand::Colour, 0, {r, g, b, a}});
    }
    if (recordingOnly()) {
        return;
    }
    state.colour = Rgba{{r, g, b, a}};
    colourChanged();
}

void Context::vertex(const float* v) {
    if (recording && inBegin) {
        record({ListCommand::Vertex, 0, {v[0], v[1], v[2], 1}});
    }
    if (!inBegin || recordingOnly()) {
        return; // outside glBegin/glEnd a vertex does nothing
    }
    if (normalsChanged) {
        normals = normalMatrix(modelView());
        normalsChanged = false;
    }
    if (eyeNormalChanged) {
        const Vec3 n = normals * state.normal;
        eyeNormal = state.normalize ? normalised(n) : n;
        eyeNormalChanged = false;
    }
    StreamVertex out = attributes();
    const Vec3 p = transformAffine(modelView(), Vec3{v[0], v[1], v[2]});
    out.position[0] = p.x;
    out.position[1] = p.y;
    out.position[2] = p.z;
    out.normal[0] = eyeNormal.x;
    out.normal[1] = eyeNormal.y;
    out.normal[2] = eyeNormal.z;
    blockVertices.push_back(store(out));
}

// Appends a vertex unless the same one is already in this submission; returns its index.
uint32_t Context::store(const StreamVertex& v) {
    const uint32_t slot = hashOf(v) % kRecentSize;
    const uint32_t earlier = recent[slot];
    if (earlier > reuseFrom && stream.vertices[earlier - 1] == v) {
        return earlier - 1;
    }
    const uint32_t index = uint32_t(stream.vertices.size());
    stream.vertices.push(v);
    recent[slot] = index + 1;
    if (clip.size() <= index) {
        clip.resize(stream.vertices.capacity());
        outcodes.resize(stream.vertices.capacity());
    }
    const Vec4 c = projection() * Vec4{v.position[0], v.position[1], v.position[2], 1};
    clip[index] = c;
    outcodes[index] = uint8_t((c.x < -c.w) | (c.x > c.w) << 1 | (c.y < -c.w) << 2 |
                              (c.y > c.w) << 3 | (c.z < -c.w) << 4 | (c.z > c.w) << 5);
    return index;
}

void Context::rect(float x1, float y1, float x2, float y2) {
    const float corners[4][3] = {{x1, y1, 0}, {x2, y1, 0}, {x2, y2, 0}, {x1, y2, 0}};
    begin(GL_POLYGON);
    for (const auto& corner : corners) {
        vertex(corner);
    }
    end();
}

void Context::assemble(GLenum mode, const uint32_t* vertices, uint32_t count) {
    Batch* batch = nullptr;
    if (mode == GL_POINTS) {
        batch = &batchFor(Shape::Points, Kind::Geometry);
        for (uint32_t i = 0; i < count; ++i) {
            stream.indices.push(vertices[i]);
        }
        batch->indexCount += count;
        return;
    }
    forEachPolygon(mode, count, [&](const uint32_t* corners, int n) {
        uint32_t c[4];
        for (int k = 0; k < n; ++k) {
            c[k] = vertices[corners[k]];
        }
        addPolygon(c, n, batch);
    });
}

void Context::addPolygon(const uint32_t* corners, int n, Batch*& batch) {
    if (state.polygonMode == GL_FILL) {
        batch = &batchFor(Shape::Triangles, Kind::Geometry);
        if (n == 3) {
            addTriangle(corners[0], corners[1], corners[2], *batch);
        } else {
            const int* k = kQuadTriangles;
            addTriangle(corners[k[0]], corners[k[1]], corners[k[2]], *batch);
            addTriangle(corners[k[3]], corners[k[4]], corners[k[5]], *batch);
        }
        return;
    }
    // Edges and corner points are culled on the CPU: the GPU sees no polygon to cull.
    if (state.cullFace && !frontFacing(corners, n)) {
        return;
    }
    if (state.polygonMode == GL_LINE) {
        batch = &batchFor(Shape::Lines, Kind::Geometry);
        for (int k = 0; k < n; ++k) {
            stream.indices.push(corners[k]);
            stream.indices.push(corners[(k + 1) % n]);
        }
        batch->indexCount += uint32_t(2 * n);
    } else {
        batch = &batchFor(Shape::Points, Kind::Geometry);
        for (int k = 0; k < n; ++k) {
            stream.indices.push(corners[k]);
        }
        batch->indexCount += uint32_t(n);
    }
}

// Software WebGL spends its time per triangle, so triangles that cannot make a fragment never
// reach it: those wholly beyond one clip plane, and back faces while culling is on.
void Context::addTriangle(uint32_t a, uint32_t b, uint32_t c, Batch& batch) {
    const uint32_t corners[3] = {a, b, c};
    // Facing is left to the GPU for triangles reaching behind the eye.
    if (outsideOnePlane(corners, 3) || (state.cullFace && allInFront(corners, 3) &&
                                        !frontFacing(corners, 3))) {
        return;
    }
    stream.indices.push(a);
    stream.indices.push(b);
    stream.indices.push(c);
    batch.indexCount += 3;
}

bool Context::allInFront(const uint32_t* corners, int n) const {
    for (int k = 0; k < n; ++k) {
        if (!(clip[corners[k]].w > 0)) {
            return false;
        }
    }
    return true;
}

bool Context::outsideOnePlane(const uint32_t* corners, int n) const {
    uint8_t all = 0x3F;
    for (int k = 0; k < n; ++k) {
        all &= outcodes[corners[k]];
    }
    return all != 0;
}

// Counter-clockwise in window coordinates is front. For a triangle that is the sign of the
// determinant of its corners' (x, y, w), which needs no division and stays right for triangles
// that cross the eye's plane; a quad with every corner in front of the eye takes the sign of
// its projected area, any other the determinant of its first three corners.
bool Context::frontFacing(const uint32_t* corners, int n) const {
    if (n == 4 && allInFront(corners, n)) {
        float area = 0;
        for (int k = 0; k < n; ++k) {
            const Vec4& a = clip[corners[k]];
            const Vec4& b = clip[corners[(k + 1) % n]];
            area += (a.x / a.w) * (b.y / b.w) - (b.x / b.w) * (a.y / a.w);
        }
        return area > 0;
    }
    const Vec4 &a = clip[corners[0]], &b = clip[corners[1]], &c = clip[corners[2]];
    const float det = a.x * (b.y * c.w - b.w * c.y) - a.y * (b.x * c.w - b.w * c.x) +
                      a.w * (b.x * c.y - b.y * c.x);
    return det > 0;
}

} // namespace lfgl
