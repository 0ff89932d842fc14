// Matrix stacks, enables, lights, materials, attribute stack, errors, and when the batched
// stream goes to the GPU.
#include "web/gl/context.h"

#include <algorithm>
#include <iterator>

namespace lfgl {

namespace {

Rgba rgba(const float* v) { return Rgba{{v[0], v[1], v[2], v[3]}}; }

} // namespace

Context& context() {
    static Context c;
    return c;
}

void Context::error(GLenum e) {
    if (pendingError == GL_NO_ERROR) {
        pendingError = e;
    }
}

GLenum Context::takeError() {
    GLenum e = pendingError;
    pendingError = GL_NO_ERROR;
    return e;
}

bool Context::refusedInsideBegin() {
    if (inBegin) {
        error(GL_INVALID_OPERATION);
    }
    return inBegin;
}

// ---- matrices ------------------------------------------------------------------------------

void Context::matrixMode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        error(GL_INVALID_ENUM);
        return;
    }
    state.matrixMode = mode;
}

Mat4& Context::currentMatrix() {
    if (state.matrixMode == GL_PROJECTION) {
        return projections[projectionDepth];
    }
    return modelViews[modelViewDepth];
}

void Context::modelViewChanged() {
    normalsChanged = true;
    eyeNormalChanged = true;
}

// The projection takes part in every batch's state and in the clip coordinates of the vertices
// stored from now on; the model-view only in the vertices.
void Context::projectionChanged() {
    stateChanged();
    reuseFrom = uint32_t(stream.vertices.size());
}

void Context::loadIdentity() {
    currentMatrix() = Mat4();
    state.matrixMode == GL_PROJECTION ? projectionChanged() : modelViewChanged();
}

void Context::multiply(const Mat4& m) {
    Mat4& top = currentMatrix();
    top = top * m;
    state.matrixMode == GL_PROJECTION ? projectionChanged() : modelViewChanged();
}

void Context::pushMatrix() {
    int& depth = state.matrixMode == GL_PROJECTION ? projectionDepth : modelViewDepth;
    Mat4* stack = state.matrixMode == GL_PROJECTION ? projections : modelViews;
    if (depth + 1 >= kMatrixDepth) {
        error(GL_STACK_OVERFLOW);
        return;
    }
    stack[depth + 1] = stack[depth];
    ++depth;
}

void Context::popMatrix() {
    int& depth = state.matrixMode == GL_PROJECTION ? projectionDepth : modelViewDepth;
    if (depth == 0) {
        error(GL_STACK_UNDERFLOW);
        return;
    }
    --depth;
    state.matrixMode == GL_PROJECTION ? projectionChanged() : modelViewChanged();
}

// ---- enables, lights, materials ------------------------------------------------------------

void Context::setEnabled(GLenum cap, bool on) {
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kLightCount) {
        state.lights[cap - GL_LIGHT0].enabled = on;
        stateChanged();
        return;
    }
    switch (cap) {
    case GL_LIGHTING:
        state.lighting = on;
        colourChanged(); // vertices now carry the material instead of the colour, or back
        break;
    case GL_NORMALIZE:
        state.normalize = on;
        eyeNormalChanged = true;
        break;
    case GL_DEPTH_TEST:
        state.depthTest = on;
        break;
    case GL_CULL_FACE:
        state.cullFace = on;
        break;
    case GL_BLEND:
        state.blend = on;
        break;
    case GL_ALPHA_TEST:
        state.alphaTest = on;
        break;
    case GL_TEXTURE_2D:
        state.texture2d = on; // nothing is textured: kept only for glIsEnabled and the stack
        break;
    default:
        error(GL_INVALID_ENUM);
        return;
    }
    stateChanged();
}

bool Context::isEnabled(GLenum cap) const {
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kLightCount) {
        return state.lights[cap - GL_LIGHT0].enabled;
    }
    switch (cap) {
    case GL_LIGHTING:
        return state.lighting;
    case GL_NORMALIZE:
        return state.normalize;
    case GL_DEPTH_TEST:
        return state.depthTest;
    case GL_CULL_FACE:
        return state.cullFace;
    case GL_BLEND:
        return state.blend;
    case GL_ALPHA_TEST:
        return state.alphaTest;
    case GL_TEXTURE_2D:
        return state.texture2d;
    default:
        return false;
    }
}

void Context::light(GLenum which, GLenum name, const float* v) {
    if (which < GL_LIGHT0 || which >= GL_LIGHT0 + kLightCount) {
        error(GL_INVALID_ENUM);
        return;
    }
    Light& l = state.lights[which - GL_LIGHT0];
    switch (name) {
    case GL_POSITION:
        l.position = modelView() * Vec4{v[0], v[1], v[2], v[3]};
        break;
    case GL_DIFFUSE:
        l.diffuse = rgba(v);
        break;
    case GL_SPECULAR:
        l.specular = rgba(v);
        break;
    default:
        error(GL_INVALID_ENUM); // ambient, attenuation and spots keep their defaults
        return;
    }
    stateChanged();
}

void Context::lightModel(GLenum name, const float* v) {
    if (name != GL_LIGHT_MODEL_AMBIENT) {
        error(GL_INVALID_ENUM);
        return;
    }
    state.modelAmbient = rgba(v);
    stateChanged();
}

void Context::material(GLenum face, GLenum name, const float* v) {
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) {
        error(GL_INVALID_ENUM);
        return;
    }
    if (face == GL_BACK) {
        return; // one-sided lighting never uses the back material
    }
    Material& m = state.material;
    switch (name) {
    case GL_DIFFUSE:
        m.diffuse = rgba(v);
        break;
    case GL_SPECULAR:
        m.specular = rgba(v);
        break;
    case GL_SHININESS:
        if (v[0] < 0 || v[0] > 128) {
            error(GL_INVALID_VALUE);
            return;
        }
        m.shininess = v[0];
        break;
    default:
        error(GL_INVALID_ENUM); // ambient and emission keep their defaults
        return;
    }
    colourChanged();
}

void Context::pushAttrib(GLbitfield mask) {
    if (attribDepth >= kAttribDepth) {
        error(GL_STACK_OVERFLOW);
        return;
    }
    attribStack[attribDepth] = state;
    attribMasks[attribDepth] = mask;
    ++attribDepth;
}

void Context::popAttrib() {
    if (attribDepth == 0) {
        error(GL_STACK_UNDERFLOW);
        return;
    }
    --attribDepth;
    restoreAttributes(state, attribStack[attribDepth], attribMasks[attribDepth]);
    stateChanged();
    colourChanged();
    eyeNormalChanged = true;
}

// ---- output --------------------------------------------------------------------------------

void Context::flush() {
    renderer.submit(stream, true);
    submittedIndices = 0;
    std::fill(std::begin(recent), std::end(recent), 0u); // the stream starts again at 0
    reuseFrom = 0;
    stateChanged(); // the next primitive starts a new batch
}

void Context::submitEarly() {
    // About 16,000 triangles: the terrain's first third, or all of a dome's blocks.
    const size_t kEnough = 48 * 1024;
    if (stream.indices.size() - submittedIndices < kEnough) {
        return;
    }
    renderer.submit(stream, false);
    glFlush(); // the browser sends GL commands on only when asked or when its queue is full
    submittedIndices = stream.indices.size();
    stateChanged();
}

void Context::clear(GLbitfield mask) {
    flush();
    renderer.clear(mask, state.clearColour, state.depthMask);
}

} // namespace lfgl
