// glBegin/glEnd: each vertex is taken to eye coordinates on the CPU as it arrives and appended to
// the stream; glEnd turns the block into indices of triangles (filled polygons), edges (polygon
// mode GL_LINE) or points, added to the batch whose draw state matches.
#include "web/gl/context.h"
#include "web/gl/polygons.h"

namespace lfgl {

namespace {

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
            current.specular[i] = unorm16(state.material.specular.v[i]);
        }
        current.specular[3] = unorm16(state.material.shininess / 128);
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
    beginFirst = uint32_t(stream.vertices.size());
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
    const uint32_t count = uint32_t(stream.vertices.size()) - beginFirst;
    assemble(beginMode, beginFirst, count);
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
    stream.vertices.push(out);
}

void Context::rect(float x1, float y1, float x2, float y2) {
    const float corners[4][3] = {{x1, y1, 0}, {x2, y1, 0}, {x2, y2, 0}, {x1, y2, 0}};
    begin(GL_POLYGON);
    for (const auto& corner : corners) {
        vertex(corner);
    }
    end();
}

void Context::assemble(GLenum mode, uint32_t first, uint32_t count) {
    Batch* batch = nullptr;
    if (mode == GL_POINTS) {
        batch = &batchFor(Shape::Points, Kind::Geometry);
        for (uint32_t i = 0; i < count; ++i) {
            stream.indices.push(first + i);
        }
        batch->indexCount += count;
        return;
    }
    forEachPolygon(mode, count, [&](const uint32_t* corners, int n) {
        uint32_t c[4];
        for (int k = 0; k < n; ++k) {
            c[k] = first + corners[k];
        }
        addPolygon(c, n, batch);
    });
}

void Context::addPolygon(const uint32_t* corners, int n, Batch*& batch) {
    if (state.polygonMode == GL_FILL) {
        batch = &batchFor(Shape::Triangles, Kind::Geometry);
        if (n == 3) {
            for (int k = 0; k < 3; ++k) {
                stream.indices.push(corners[k]);
            }
            batch->indexCount += 3;
        } else {
            for (int k : kQuadTriangles) {
                stream.indices.push(corners[k]);
            }
            batch->indexCount += 6;
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

// Counter-clockwise in window coordinates is front. With every corner in front of the eye that
// is the sign of the projected area; otherwise the sign of the homogeneous determinant of the
// first three corners, which stays right for polygons that cross the eye's plane.
bool Context::frontFacing(const uint32_t* corners, int n) const {
    Vec4 clip[4];
    bool allInFront = true;
    for (int k = 0; k < n; ++k) {
        const StreamVertex& v = stream.vertices[corners[k]];
        clip[k] = projection() * Vec4{v.position[0], v.position[1], v.position[2], 1};
        allInFront = allInFront && clip[k].w > 0;
    }
    if (allInFront) {
        float area = 0;
        for (int k = 0; k < n; ++k) {
            const Vec4& a = clip[k];
            const Vec4& b = clip[(k + 1) % n];
            area += (a.x / a.w) * (b.y / b.w) - (b.x / b.w) * (a.y / a.w);
        }
        return area > 0;
    }
    const Vec4 &a = clip[0], &b = clip[1], &c = clip[2];
    const float det = a.x * (b.y * c.w - b.w * c.y) - a.y * (b.x * c.w - b.w * c.x) +
                      a.w * (b.x * c.y - b.y * c.x);
    return det > 0;
}

} // namespace lfgl
