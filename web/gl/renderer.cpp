// Compiling the program, sending the stream and drawing its batches with their state.
#include "web/gl/renderer.h"

#include "web/gl/font.h"
#include "web/gl/shaders.h"

#include <cstdio>
#include <cstdlib>

namespace lfgl {

namespace {

// `header` goes first (the version line, and defines), then `source`.
GLuint compile(GLenum type, const char* header, const char* source) {
    GLuint shader = glCreateShader(type);
    const char* parts[2] = {header, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "lfgl: shader does not compile: %s\n", log);
        std::abort(); // the layer cannot draw anything without it
    }
    return shader;
}

GLuint link(const char* fragmentHeader) {
    GLuint program = glCreateProgram();
    GLuint vs = compile(GL_VERTEX_SHADER, "", kVertexShader);
    GLuint fs = compile(GL_FRAGMENT_SHADER, fragmentHeader, kFragmentShader);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = "";
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "lfgl: program does not link: %s\n", log);
        std::abort();
    }
    return program;
}

// Points the attributes of the bound vertex array at StreamVertex records in `buffer`.
void describeVertices(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(StreamVertex);
    glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(StreamVertex, position)));
    glVertexAttribPointer(kNormal, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(StreamVertex, normal)));
    glVertexAttribPointer(kColour, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(StreamVertex, colour)));
    glVertexAttribPointer(kSpecular, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offsetof(StreamVertex, specular)));
    for (GLuint a : {kPosition, kNormal, kColour, kSpecular}) {
        glEnableVertexAttribArray(a);
    }
}

void setCapability(GLenum capability, bool on) {
    if (on) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

GLenum drawMode(Shape shape) {
    switch (shape) {
    case Shape::Lines:
        return GL_LINES;
    case Shape::Points:
        return GL_POINTS;
    default:
        return GL_TRIANGLES;
    }
}

void setConstant(GLuint attribute, const float v[4]) {
    glVertexAttrib4fv(attribute, v);
}


static_assert(kVariantCount == 3, "Renderer keeps one program per fragment variant");

const Mat3 kIdentity3;
const Mat4 kIdentity4;

} // namespace

void Renderer::prepare() {
    if (ready) {
        return;
    }
    ready = true;
    prepareBackend();
    for (int v = 0; v < kVariantCount; ++v) {
        programs[v] = link(kFragmentHeaders[v]);
        findUniforms(programs[v], uniforms[v]);
    }
    glGenVertexArrays(1, &vertexArray);
    glGenBuffers(1, &vertexBuffer);
    glGenBuffers(1, &indexBuffer);
    glBindVertexArray(vertexArray);
    describeVertices(vertexBuffer);
    glBindVertexArray(0);
    makeFontTexture();
}

void Renderer::findUniforms(GLuint program, Uniforms& u) {
    const struct {
        GLint* location;
        const char* name;
    } names[] = {{&u.projection, "uProjection"},       {&u.modelView, "uModelView"},
                 {&u.normalMatrix, "uNormalMatrix"},   {&u.normalize, "uNormalize"},
                 {&u.lighting, "uLighting"},           {&u.glyph, "uGlyph"},
                 {&u.viewport, "uViewport"},           {&u.pointSize, "uPointSize"},
                 {&u.lightCount, "uLightCount"},       {&u.lightPosition, "uLightPosition"},
                 {&u.lightDiffuse, "uLightDiffuse"},   {&u.lightSpecular, "uLightSpecular"},
                 {&u.ambient, "uAmbient"},             {&u.font, "uFont"},
                 {&u.alphaFunction, "uAlphaFunction"}, {&u.alphaReference, "uAlphaReference"}};
    for (const auto& n : names) {
        *n.location = glGetUniformLocation(program, n.name);
    }
}

void Renderer::makeFontTexture() {
    std::vector<unsigned char> texels(size_t(kFontAtlasWidth) * kFontAtlasHeight);
    fillFontAtlas(texels.data());
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &font);
    glBindTexture(GL_TEXTURE_2D, font);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, kFontAtlasWidth, kFontAtlasHeight, 0, GL_RED,
                 GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// Sends the changed chunks; a buffer that has become too small is made anew and sent whole.
void Renderer::upload(Stream& stream) {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    if (stream.vertices.capacity() > vertexCapacity) {
        vertexCapacity = stream.vertices.capacity();
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertexCapacity * sizeof(StreamVertex)), nullptr,
                     GL_DYNAMIC_DRAW);
        stream.vertices.markAllChanged();
    }
    stream.vertices.sendChanges([&](size_t first, size_t n) {
        glBufferSubData(GL_ARRAY_BUFFER, GLintptr(first * sizeof(StreamVertex)),
                        GLsizeiptr(n * sizeof(StreamVertex)), stream.vertices.data() + first);
    });
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer);
    if (stream.indices.capacity() > indexCapacity) {
        indexCapacity = stream.indices.capacity();
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indexCapacity * sizeof(uint32_t)),
                     nullptr, GL_DYNAMIC_DRAW);
        stream.indices.markAllChanged();
    }
    stream.indices.sendChanges([&](size_t first, size_t n) {
        glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, GLintptr(first * sizeof(uint32_t)),
                        GLsizeiptr(n * sizeof(uint32_t)), stream.indices.data() + first);
    });
}

void Renderer::submit(Stream& stream, bool endOfFrame) {
    if (stream.empty()) {
        if (endOfFrame) {
            stream.rewind(); // vertices of blocks too short to draw anything
        }
        return;
    }
    prepare();
    glBindVertexArray(vertexArray);
    upload(stream);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, font);
    const DrawState* previous = nullptr;
    int inUse = -1;
    for (const Batch& b : stream.batches) {
        const int variant = variantFor(b.state);
        if (variant != inUse) {
            // Uniforms belong to a program: a new one is given all of them.
            inUse = variant;
            glUseProgram(programs[variant]);
            u = uniforms[variant];
            glUniform1i(u.font, 0);
            previous = nullptr;
        }
        apply(b.state, previous);
        previous = &b.state;
        if (b.replay.list != 0) {
            drawReplay(b);
        } else {
            drawStream(b);
        }
    }
    glBindVertexArray(0);
    glUseProgram(0);
    stream.batches.clear();
    if (endOfFrame) {
        stream.rewind();
    }
}

int Renderer::variantFor(const DrawState& s) {
    if (s.kind == Kind::Glyph) {
        return kGlyph;
    }
    return s.alphaTest ? kAlphaTested : kPlain;
}

void Renderer::apply(const DrawState& s, const DrawState* previous) {
    const DrawState* p = previous;
    if (!p || p->depthTest != s.depthTest) {
        setCapability(GL_DEPTH_TEST, s.depthTest);
    }
    if (!p || p->depthMask != s.depthMask) {
        glDepthMask(s.depthMask ? GL_TRUE : GL_FALSE);
    }
    if (!p || p->cullFace != s.cullFace) {
        setCapability(GL_CULL_FACE, s.cullFace);
    }
    if (!p || p->blend != s.blend) {
        setCapability(GL_BLEND, s.blend);
    }
    if (!p || p->blendSource != s.blendSource || p->blendDestination != s.blendDestination) {
        glBlendFunc(s.blendSource, s.blendDestination);
    }
    if (!p || p->alphaTest != s.alphaTest || p->alphaFunction != s.alphaFunction) {
        glUniform1i(u.alphaFunction, s.alphaTest ? GLint(s.alphaFunction - GL_NEVER) : 7);
    }
    if (!p || p->alphaReference != s.alphaReference) {
        const float r = s.alphaReference;
        glUniform1f(u.alphaReference, r < 0 ? 0 : (r > 1 ? 1 : r));
    }
    const int* v = s.viewport;
    if (!p || p->viewport[0] != v[0] || p->viewport[1] != v[1] || p->viewport[2] != v[2] ||
        p->viewport[3] != v[3]) {
        glViewport(v[0], v[1], v[2], v[3]);
        glUniform4f(u.viewport, float(v[0]), float(v[1]), float(v[2] > 0 ? v[2] : 1),
                    float(v[3] > 0 ? v[3] : 1));
    }
    if (!p || p->pointSize != s.pointSize) {
        glUniform1f(u.pointSize, s.pointSize);
    }
    if (!p || p->kind != s.kind) {
        glUniform1i(u.glyph, s.kind == Kind::Glyph);
    }
    if (!p || p->projection != s.projection) {
        glUniformMatrix4fv(u.projection, 1, GL_FALSE, s.projection.m);
    }
    if (!p || p->lighting != s.lighting) {
        glUniform1i(u.lighting, s.lighting);
    }
    if (s.lighting && (!p || !p->lighting || *p != s)) {
        applyLights(s);
    }
}

void Renderer::applyLights(const DrawState& s) {
    float positions[kLightCount * 4], diffuse[kLightCount * 3], specular[kLightCount * 3];
    for (int i = 0; i < s.lightCount; ++i) {
        const LightUniform& l = s.lights[i];
        const float p[4] = {l.position.x, l.position.y, l.position.z, l.position.w};
        for (int c = 0; c < 4; ++c) {
            positions[i * 4 + c] = p[c];
        }
        for (int c = 0; c < 3; ++c) {
            diffuse[i * 3 + c] = l.diffuse[c];
            specular[i * 3 + c] = l.specular[c];
        }
    }
    glUniform1i(u.lightCount, s.lightCount);
    if (s.lightCount > 0) {
        glUniform4fv(u.lightPosition, s.lightCount, positions);
        glUniform3fv(u.lightDiffuse, s.lightCount, diffuse);
        glUniform3fv(u.lightSpecular, s.lightCount, specular);
    }
    glUniform3fv(u.ambient, 1, s.ambient);
}

void Renderer::drawStream(const Batch& b) {
    glUniformMatrix4fv(u.modelView, 1, GL_FALSE, kIdentity4.m);
    glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, kIdentity3.m);
    glUniform1i(u.normalize, 0); // the CPU did it when GL_NORMALIZE was on
    glDrawElements(drawMode(b.state.shape), GLsizei(b.indexCount), GL_UNSIGNED_INT,
                   reinterpret_cast<void*>(size_t(b.firstIndex) * sizeof(uint32_t)));
}

void Renderer::drawReplay(const Batch& b) {
    auto found = lists.find(b.replay.list);
    if (found == lists.end()) {
        return;
    }
    const ListBuffers& list = found->second;
    glUniformMatrix4fv(u.modelView, 1, GL_FALSE, b.replay.modelView.m);
    glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, b.replay.normals.m);
    glUniform1i(u.normalize, b.replay.normalize);
    glBindVertexArray(list.vertexArray);
    // Lit vertices take the current material; unlit ones the list's colours if it gave any.
    if (list.hasColours && !b.state.lighting) {
        glEnableVertexAttribArray(kColour);
    } else {
        glDisableVertexAttribArray(kColour);
        setConstant(kColour, b.replay.current.colour);
    }
    setConstant(kSpecular, b.replay.current.specular);
    glDrawElements(GL_TRIANGLES, list.indexCount, GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(vertexArray);
}

void Renderer::clear(GLbitfield mask, const Rgba& colour, bool depthMask) {
    glClearColor(colour.v[0], colour.v[1], colour.v[2], colour.v[3]);
    glDepthMask(depthMask ? GL_TRUE : GL_FALSE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT));
}

void Renderer::storeList(uint32_t list, const ListGeometry& geometry) {
    prepare();
    forgetList(list);
    ListBuffers b;
    b.indexCount = GLsizei(geometry.triangles.size());
    b.hasColours = geometry.hasColours;
    glGenVertexArrays(1, &b.vertexArray);
    glGenBuffers(1, &b.vertices);
    glGenBuffers(1, &b.indices);
    glBindVertexArray(b.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, b.vertices);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(geometry.vertices.size() * sizeof(StreamVertex)),
                 geometry.vertices.data(), GL_STATIC_DRAW);
    describeVertices(b.vertices);
    glDisableVertexAttribArray(kSpecular); // always the current material's
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(geometry.triangles.size() * sizeof(uint32_t)),
                 geometry.triangles.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    lists[list] = b;
}

void Renderer::forgetList(uint32_t list) {
    auto found = lists.find(list);
    if (found == lists.end()) {
        return;
    }
    glDeleteVertexArrays(1, &found->second.vertexArray);
    glDeleteBuffers(1, &found->second.vertices);
    glDeleteBuffers(1, &found->second.indices);
    lists.erase(found);
}

} // namespace lfgl
