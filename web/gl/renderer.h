// The GPU side: the programs (one per fragment variant), the stream's buffers (sent in changed chunks), the glyph texture and
// the display lists' buffers. Every submission sets the GL state it needs from scratch, so other
// GL code may run in between (the native tests draw with the system's GL in the same context).
#pragma once

#include "web/gl/stream.h"

#include <unordered_map>
#include <vector>

namespace lfgl {

struct ListGeometry {
    std::vector<StreamVertex> vertices; // object coordinates
    std::vector<uint32_t> triangles;    // indices, three a triangle
    bool hasColours = false;            // else the colour current at replay time
};

class Renderer {
  public:
    // Draws the stream's batches and forgets them; the vertices and indices stay where they are
    // until the end of the frame, when the stream starts again from the beginning.
    void submit(Stream& stream, bool endOfFrame);
    void clear(GLbitfield mask, const Rgba& colour, bool depthMask);
    void storeList(uint32_t list, const ListGeometry& geometry);
    void forgetList(uint32_t list);

  private:
    struct ListBuffers {
        GLuint vertexArray = 0, vertices = 0, indices = 0;
        GLsizei indexCount = 0;
        bool hasColours = false;
    };
    struct Uniforms {
        GLint projection, modelView, normalMatrix, normalize, lighting, glyph, viewport;
        GLint pointSize, lightCount, lightPosition, lightDiffuse, lightSpecular, ambient;
        GLint font, alphaFunction, alphaReference;
    };

    void prepare();
    static void findUniforms(GLuint program, Uniforms& u);
    static int variantFor(const DrawState& s);
    void makeFontTexture();
    void upload(Stream& stream);
    void apply(const DrawState& s, const DrawState* previous);
    void applyLights(const DrawState& s);
    void drawStream(const Batch& b);
    void drawReplay(const Batch& b);

    bool ready = false;
    GLuint programs[3] = {}; // by FragmentVariant
    Uniforms uniforms[3] = {};
    Uniforms u{}; // the program in use's
    GLuint vertexArray = 0, vertexBuffer = 0, indexBuffer = 0, font = 0;
    size_t vertexCapacity = 0, indexCapacity = 0;
    std::unordered_map<uint32_t, ListBuffers> lists;
};

// Attribute locations, fixed in the shader.
enum Attribute : GLuint { kPosition = 0, kNormal = 1, kColour = 2, kSpecular = 3 };

} // namespace lfgl
