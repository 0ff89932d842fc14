// The layer's one context: the state, the matrix stacks, the open glBegin block, display lists
// and the batched stream, with the GPU side behind it. The C entry points (api.cpp) call it.
#pragma once

#include "web/gl/renderer.h"
#include "web/gl/state.h"
#include "web/gl/stream.h"

#include <unordered_map>
#include <vector>

namespace lfgl {

struct ListCommand {
    enum Op : uint8_t { Begin, End, Vertex, Normal, Colour } op;
    GLenum mode; // for Begin
    float v[4];
};

struct DisplayList {
    std::vector<ListCommand> commands;
    bool onGpu = false; // its triangles sit in their own buffer (see Renderer::storeList)
    // What the list leaves as the current normal and colour.
    bool setsNormal = false, setsColour = false;
    Vec3 lastNormal;
    Rgba lastColour;
};

class Context {
  public:
    // Matrices.
    void matrixMode(GLenum mode);
    void loadIdentity();
    void pushMatrix();
    void popMatrix();
    void multiply(const Mat4& m);
    const Mat4& modelView() const { return modelViews[modelViewDepth]; }
    const Mat4& projection() const { return projections[projectionDepth]; }

    // State.
    void setEnabled(GLenum cap, bool on);
    bool isEnabled(GLenum cap) const;
    void light(GLenum which, GLenum name, const float* values);
    void lightModel(GLenum name, const float* values);
    void material(GLenum face, GLenum name, const float* values);
    void pushAttrib(GLbitfield mask);
    void popAttrib();
    // Any change that a draw depends on: the next primitive checks whether its batch still fits.
    void stateChanged() { drawStateChanged = true; }
    void colourChanged() { attributesChanged = true; }

    // Immediate mode.
    void begin(GLenum mode);
    void end();
    void vertex(const float* v);
    void normal(const float* n);
    void colour(float r, float g, float b, float a);
    void rect(float x1, float y1, float x2, float y2);

    // Text.
    void rasterPos(float x, float y, float z);
    void bitmapCharacter(unsigned char c);

    // Display lists.
    GLuint genLists(GLsizei range);
    void newList(GLuint list, GLenum mode);
    void endList();
    void callList(GLuint list);
    void deleteLists(GLuint list, GLsizei range);

    // Output.
    void flush();
    // Hands what has piled up to the GPU part-way through a frame, so that it works while the
    // CPU prepares the rest.
    void submitEarly();
    void clear(GLbitfield mask);
    void error(GLenum e);
    GLenum takeError();
    bool insideBegin() const { return inBegin; }
    // Records a call made between glBegin and glEnd that GL forbids there; true if it was one.
    bool refusedInsideBegin();

    State state;

  private:
    Mat4& currentMatrix();
    void modelViewChanged();
    void projectionChanged();
    const StreamVertex& attributes();
    Batch& batchFor(Shape shape, Kind kind);
    void assemble(GLenum mode, const uint32_t* vertices, uint32_t count);
    uint32_t store(const StreamVertex& v);
    void addPolygon(const uint32_t* corners, int n, Batch*& batch);
    void addTriangle(uint32_t a, uint32_t b, uint32_t c, Batch& batch);
    bool frontFacing(const uint32_t* corners, int n) const;
    bool outsideOnePlane(const uint32_t* corners, int n) const;
    bool allInFront(const uint32_t* corners, int n) const;
    void storeOnGpu(GLuint name, DisplayList& list);
    bool replayOnGpu(const DisplayList& list, GLuint name);
    void replayCommands(const DisplayList& list);
    void record(const ListCommand& c);
    bool recordingOnly() const { return recording != 0 && !executeWhileRecording; }

    static const int kMatrixDepth = 32;
    static const int kAttribDepth = 16;

    Mat4 modelViews[kMatrixDepth];
    Mat4 projections[kMatrixDepth];
    int modelViewDepth = 0, projectionDepth = 0;
    Mat3 normals;
    bool normalsChanged = false;
    Vec3 eyeNormal{0, 0, 1};
    bool eyeNormalChanged = false;

    State attribStack[kAttribDepth];
    GLbitfield attribMasks[kAttribDepth] = {};
    int attribDepth = 0;

    bool inBegin = false;
    GLenum beginMode = 0;
    std::vector<uint32_t> blockVertices; // stream indices of the open block's vertices
    // The last stream vertex seen with each hash: a vertex equal to an earlier one of the same
    // submission (a terrain row shared by two strips) is drawn from the earlier one's index.
    static const uint32_t kRecentSize = 8192;
    uint32_t recent[kRecentSize] = {}; // index + 1; 0 for none
    // Vertices stored before this index are not reused: their clip coordinates, which the CPU
    // culls by, were taken under a projection that has changed since.
    uint32_t reuseFrom = 0;
    StreamVertex current{}; // colour and specular of the next vertex
    bool attributesChanged = true;
    bool drawStateChanged = true;
    Shape lastShape = Shape::Triangles;
    Kind lastKind = Kind::Geometry;

    // Clip coordinates and clip-plane outcodes of the stream's vertices, for the CPU's culling.
    std::vector<Vec4> clip;
    std::vector<uint8_t> outcodes;

    std::unordered_map<GLuint, DisplayList> lists;
    GLuint nextListName = 1;
    GLuint recording = 0;
    bool executeWhileRecording = false;
    DisplayList recorded;

    size_t submittedIndices = 0;
    GLenum pendingError = GL_NO_ERROR;
    Stream stream;
    Renderer renderer;
};

Context& context();

} // namespace lfgl
