// The fixed-function state the layer keeps on the CPU side, with its OpenGL 1.x defaults, and
// the part of it one draw needs (DrawState). glPushAttrib copies State; matrices live elsewhere.
#pragma once

#include "web/gl/backend.h"
#include "web/gl/mat4.h"

#include <cstdint>

namespace lfgl {

const int kLightCount = 8;

struct Rgba {
    float v[4] = {0, 0, 0, 1};
};
bool operator==(const Rgba& a, const Rgba& b);

struct Light {
    bool enabled = false;
    Vec4 position{0, 0, 1, 0}; // in eye coordinates, as transformed when it was given
    Rgba diffuse;
    Rgba specular;
};

struct Material {
    Rgba diffuse{{0.8f, 0.8f, 0.8f, 1}};
    Rgba specular;
    float shininess = 0;
};

struct RasterPosition {
    float window[3] = {0, 0, 0};
    Rgba colour{{1, 1, 1, 1}};
    bool valid = true;
};

struct State {
    bool lighting = false, normalize = false, depthTest = false, cullFace = false;
    bool blend = false, alphaTest = false, texture2d = false;
    Light lights[kLightCount];
    Rgba modelAmbient{{0.2f, 0.2f, 0.2f, 1}};
    Material material;
    Rgba colour{{1, 1, 1, 1}};
    Vec3 normal{0, 0, 1};
    RasterPosition raster;
    GLenum polygonMode = GL_FILL;
    bool depthMask = true;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLenum alphaFunction = GL_ALWAYS;
    float alphaReference = 0;
    int viewport[4] = {0, 0, 0, 0};
    float pointSize = 1;
    Rgba clearColour{{0, 0, 0, 0}};
    GLenum matrixMode = GL_MODELVIEW;

    State();
};

// Puts back the groups of `saved` that the glPushAttrib mask names.
void restoreAttributes(State& current, const State& saved, GLbitfield mask);

enum class Shape : uint8_t { Triangles, Lines, Points };
// Geometry is lit or coloured in eye coordinates; Glyph vertices are window coordinates whose
// fragments come from the font texture.
enum class Kind : uint8_t { Geometry, Glyph };

struct LightUniform {
    Vec4 position; // w 0: a direction; else an eye-space point with w 1
    float diffuse[3] = {0, 0, 0};
    float specular[3] = {0, 0, 0};
};

// Everything a draw call depends on besides its vertices. Parts that cannot matter for a draw
// (lights when unlit, point size for triangles) are left at their defaults, so that such
// changes never split a batch.
struct DrawState {
    Shape shape = Shape::Triangles;
    Kind kind = Kind::Geometry;
    bool depthTest = false, cullFace = false, blend = false, alphaTest = false;
    bool lighting = false, depthMask = true;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLenum alphaFunction = GL_ALWAYS;
    float alphaReference = 0;
    int viewport[4] = {0, 0, 0, 0};
    float pointSize = 1;
    Mat4 projection;
    int lightCount = 0;
    LightUniform lights[kLightCount];
    float ambient[3] = {0, 0, 0}; // scene ambient times the material's default ambient
};
bool operator==(const DrawState& a, const DrawState& b);
inline bool operator!=(const DrawState& a, const DrawState& b) { return !(a == b); }

DrawState drawStateFor(const State& s, const Mat4& projection, Shape shape, Kind kind);

} // namespace lfgl
