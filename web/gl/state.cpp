// Defaults, attribute groups and the reduction of the whole state to what one draw needs.
#include "web/gl/state.h"

namespace lfgl {

namespace {

bool sameFloats(const float* a, const float* b, int n) {
    for (int i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

bool operator==(const Vec4& a, const Vec4& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

bool operator==(const LightUniform& a, const LightUniform& b) {
    return a.position == b.position && sameFloats(a.diffuse, b.diffuse, 3) &&
           sameFloats(a.specular, b.specular, 3);
}

void restoreEnables(State& s, const State& saved) {
    s.lighting = saved.lighting;
    s.normalize = saved.normalize;
    s.depthTest = saved.depthTest;
    s.cullFace = saved.cullFace;
    s.blend = saved.blend;
    s.alphaTest = saved.alphaTest;
    s.texture2d = saved.texture2d;
    for (int i = 0; i < kLightCount; ++i) {
        s.lights[i].enabled = saved.lights[i].enabled;
    }
}

void restoreLighting(State& s, const State& saved) {
    s.lighting = saved.lighting;
    for (int i = 0; i < kLightCount; ++i) {
        s.lights[i] = saved.lights[i];
    }
    s.modelAmbient = saved.modelAmbient;
    s.material = saved.material;
}

void restoreColourBuffer(State& s, const State& saved) {
    s.blend = saved.blend;
    s.blendSource = saved.blendSource;
    s.blendDestination = saved.blendDestination;
    s.alphaTest = saved.alphaTest;
    s.alphaFunction = saved.alphaFunction;
    s.alphaReference = saved.alphaReference;
    s.clearColour = saved.clearColour;
}

void restoreViewport(State& s, const State& saved) {
    for (int i = 0; i < 4; ++i) {
        s.viewport[i] = saved.viewport[i];
    }
}

} // namespace

bool operator==(const Rgba& a, const Rgba& b) { return sameFloats(a.v, b.v, 4); }

State::State() {
    lights[0].diffuse = Rgba{{1, 1, 1, 1}};
    lights[0].specular = Rgba{{1, 1, 1, 1}};
}

void restoreAttributes(State& s, const State& saved, GLbitfield mask) {
    if (mask & GL_CURRENT_BIT) {
        s.colour = saved.colour;
        s.normal = saved.normal;
        s.raster = saved.raster;
    }
    if (mask & GL_ENABLE_BIT) {
        restoreEnables(s, saved);
    }
    if (mask & GL_LIGHTING_BIT) {
        restoreLighting(s, saved);
    }
    if (mask & GL_POLYGON_BIT) {
        s.polygonMode = saved.polygonMode;
        s.cullFace = saved.cullFace;
    }
    if (mask & GL_DEPTH_BUFFER_BIT) {
        s.depthTest = saved.depthTest;
        s.depthMask = saved.depthMask;
    }
    if (mask & GL_COLOR_BUFFER_BIT) {
        restoreColourBuffer(s, saved);
    }
    if (mask & GL_VIEWPORT_BIT) {
        restoreViewport(s, saved);
    }
    if (mask & GL_POINT_BIT) {
        s.pointSize = saved.pointSize;
    }
    if (mask & GL_TRANSFORM_BIT) {
        s.matrixMode = saved.matrixMode;
        s.normalize = saved.normalize;
    }
    if (mask & GL_TEXTURE_BIT) {
        s.texture2d = saved.texture2d;
    }
}

bool operator==(const DrawState& a, const DrawState& b) {
    if (a.shape != b.shape || a.kind != b.kind || a.depthTest != b.depthTest ||
        a.cullFace != b.cullFace || a.blend != b.blend || a.alphaTest != b.alphaTest ||
        a.lighting != b.lighting || a.depthMask != b.depthMask ||
        a.blendSource != b.blendSource || a.blendDestination != b.blendDestination ||
        a.alphaFunction != b.alphaFunction || a.alphaReference != b.alphaReference ||
        a.pointSize != b.pointSize || a.lightCount != b.lightCount) {
        return false;
    }
    for (int i = 0; i < 4; ++i) {
        if (a.viewport[i] != b.viewport[i]) {
            return false;
        }
    }
    for (int i = 0; i < a.lightCount; ++i) {
        if (!(a.lights[i] == b.lights[i])) {
            return false;
        }
    }
    return sameFloats(a.ambient, b.ambient, 3) && a.projection == b.projection;
}

DrawState drawStateFor(const State& s, const Mat4& projection, Shape shape, Kind kind) {
    DrawState d;
    d.shape = shape;
    d.kind = kind;
    d.depthTest = s.depthTest;
    d.depthMask = s.depthMask;
    // Bitmaps are not polygons: neither culled nor lit.
    d.cullFace = s.cullFace && shape == Shape::Triangles && kind == Kind::Geometry;
    d.blend = s.blend;
    if (s.blend) {
        d.blendSource = s.blendSource;
        d.blendDestination = s.blendDestination;
    }
    d.alphaTest = s.alphaTest;
    if (s.alphaTest) {
        d.alphaFunction = s.alphaFunction;
        d.alphaReference = s.alphaReference;
    }
    for (int i = 0; i < 4; ++i) {
        d.viewport[i] = s.viewport[i];
    }
    if (shape == Shape::Points) {
        d.pointSize = s.pointSize;
    }
    if (kind == Kind::Geometry) {
        d.projection = projection;
    }
    d.lighting = s.lighting && kind == Kind::Geometry;
    if (!d.lighting) {
        return d;
    }
    for (int i = 0; i < kLightCount; ++i) {
        const Light& light = s.lights[i];
        if (!light.enabled) {
            continue;
        }
        LightUniform& u = d.lights[d.lightCount++];
        u.position = light.position;
        if (u.position.w != 0) {
            const float w = u.position.w;
            u.position = Vec4{u.position.x / w, u.position.y / w, u.position.z / w, 1};
        }
        for (int c = 0; c < 3; ++c) {
            u.diffuse[c] = light.diffuse.v[c];
            u.specular[c] = light.specular.v[c];
        }
    }
    // The material's ambient keeps its default of 0.2 and every light's ambient its 0.
    for (int c = 0; c < 3; ++c) {
        d.ambient[c] = 0.2f * s.modelAmbient.v[c];
    }
    return d;
}

} // namespace lfgl
