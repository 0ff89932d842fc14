// The layer's shaders. The vertex shader lights per vertex with OpenGL 1.x's equation for a
// non-local viewer, one-sided, lights without attenuation or spot and an ambient of zero, the
// material's ambient at its default (folded into uAmbient) and no emission. A light adds its
// specular part only where it also lights the diffuse part (n.l > 0), as the system GL does:
// the equation's own rule (any n.l other than 0) left highlights on unlit sides that the system
// GL does not draw, up to 24/255 apart in the lighting test.
#pragma once

namespace lfgl {

const char* const kVertexShader = R"(#version 300 es
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec4 aSpecular;
uniform mat4 uProjection;
uniform mat4 uModelView;
uniform mat3 uNormalMatrix;
uniform bool uNormalize;
uniform bool uLighting;
uniform bool uGlyph;
uniform vec4 uViewport;
uniform float uPointSize;
uniform int uLightCount;
uniform vec4 uLightPosition[8];
uniform vec3 uLightDiffuse[8];
uniform vec3 uLightSpecular[8];
uniform vec3 uAmbient;
out vec4 vColour;
out vec2 vTexel;

vec4 lit(vec3 eye, vec3 n) {
    vec3 colour = uAmbient;
    float shininess = aSpecular.a * 128.0;
    for (int i = 0; i < 8; ++i) {
        if (i >= uLightCount) {
            break;
        }
        // Selects rather than branches: vertices are shaded four at a time in software.
        vec4 p = uLightPosition[i]; // w is 0 (a direction) or 1 (a point)
        vec3 l = normalize(p.xyz - p.w * eye);
        float nl = dot(n, l);
        float nh = dot(n, normalize(l + vec3(0.0, 0.0, 1.0)));
        float specular = nl > 0.0 && nh > 0.0 ? pow(nh, shininess) : 0.0;
        colour += max(nl, 0.0) * aColour.rgb * uLightDiffuse[i] +
                  specular * aSpecular.rgb * uLightSpecular[i];
    }
    return vec4(clamp(colour, 0.0, 1.0), aColour.a);
}

void main() {
    vTexel = aNormal.xy;
    gl_PointSize = uPointSize;
    if (uGlyph) {
        vec2 ndc = (aPosition.xy - uViewport.xy) / uViewport.zw * 2.0 - 1.0;
        gl_Position = vec4(ndc, aPosition.z * 2.0 - 1.0, 1.0);
        vColour = aColour;
        return;
    }
    vec4 eye = uModelView * vec4(aPosition, 1.0);
    gl_Position = uProjection * eye;
    if (!uLighting) {
        vColour = aColour;
        return;
    }
    vec3 n = uNormalMatrix * aNormal;
    if (uNormalize) {
        n = normalize(n);
    }
    vColour = lit(eye.xyz, n);
}
)";

// The fragment shader in three variants, chosen per batch: software WebGL runs every case of a
// branch for every fragment, so the opaque pass gets one with neither the font lookup nor the
// alpha test.
enum FragmentVariant { kPlain, kAlphaTested, kGlyph, kVariantCount };

const char* const kFragmentHeaders[kVariantCount] = {
    "#version 300 es\n#define ALPHA_TEST 0\n#define GLYPH 0\n",
    "#version 300 es\n#define ALPHA_TEST 1\n#define GLYPH 0\n",
    "#version 300 es\n#define ALPHA_TEST 1\n#define GLYPH 1\n"};

const char* const kFragmentShader = R"(
precision highp float;
precision highp int;
in vec4 vColour;
in vec2 vTexel;
uniform highp sampler2D uFont;
uniform int uAlphaFunction; // the GL comparison minus GL_NEVER; 7 (always) when the test is off
uniform float uAlphaReference;
out vec4 fragColour;

bool passes(float a, float r) {
    switch (uAlphaFunction) {
    case 0: return false;
    case 1: return a < r;
    case 2: return a == r;
    case 3: return a <= r;
    case 4: return a > r;
    case 5: return a != r;
    case 6: return a >= r;
    default: return true;
    }
}

void main() {
#if GLYPH
    if (texelFetch(uFont, ivec2(vTexel), 0).r < 0.5) {
        discard;
    }
#endif
#if ALPHA_TEST
    if (!passes(vColour.a, uAlphaReference)) {
        discard;
    }
#endif
    fragColour = vColour;
}
)";

} // namespace lfgl
