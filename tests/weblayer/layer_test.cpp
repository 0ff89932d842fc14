// The layer's own machinery: what it re-sends to the GPU from frame to frame, its errors, and
// reading pixels back in the format the program asks for.
#include "harness.h"
#include "shapes.h"

#include "web/gl/stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

using Sent = std::vector<std::pair<size_t, size_t>>;

Sent sendAll(lfgl::MirroredArray<uint32_t>& a) {
    Sent sent;
    a.sendChanges([&](size_t first, size_t n) { sent.emplace_back(first, n); });
    return sent;
}

void fill(lfgl::MirroredArray<uint32_t>& a, size_t n, size_t changedAt, size_t zeros = 0) {
    a.rewind();
    for (size_t i = 0; i < n; ++i) {
        a.push(uint32_t(i == changedAt ? 7777777 : i));
    }
    for (size_t i = 0; i < zeros; ++i) {
        a.push(0); // what a new array holds: only sending can put it on the GPU
    }
}

} // namespace

TEST(Stream, OnlyChunksThatChangedAreSentAgain) {
    const size_t chunk = lfgl::MirroredArray<uint32_t>::kChunk;
    const size_t n = 5 * chunk + 100;
    const size_t nowhere = n;
    lfgl::MirroredArray<uint32_t> a;
    fill(a, n, nowhere);
    EXPECT_EQ(sendAll(a), (Sent{{0, n}})); // the first frame: everything, in one piece
    fill(a, n, nowhere);
    EXPECT_TRUE(sendAll(a).empty()); // the same frame again: nothing
    fill(a, n, 3 * chunk + 5);
    EXPECT_EQ(sendAll(a), (Sent{{3 * chunk, chunk}}));
    fill(a, n, nowhere); // the changed value goes back: that chunk once more
    EXPECT_EQ(sendAll(a), (Sent{{3 * chunk, chunk}}));
    fill(a, n + 10, nowhere); // a longer frame: only the new tail
    EXPECT_EQ(sendAll(a), (Sent{{5 * chunk, 110}}));
    fill(a, n + 10, nowhere, 20); // beyond anything sent so far, even values that look unchanged
    EXPECT_EQ(sendAll(a), (Sent{{5 * chunk, 130}}));
    fill(a, n + 10, nowhere, 20);
    EXPECT_TRUE(sendAll(a).empty());
}

TEST(Errors, CallsGlRefusesAreReportedOnceEach) {
    while (lfglGetError() != GL_NO_ERROR) {
    }
    lfglBegin(GL_TRIANGLES);
    lfglEnable(GL_BLEND); // not allowed between glBegin and glEnd
    lfglEnd();
    EXPECT_EQ(lfglGetError(), GLenum(GL_INVALID_OPERATION));
    EXPECT_FALSE(lfglIsEnabled(GL_BLEND));
    lfglEnable(0x1234);
    EXPECT_EQ(lfglGetError(), GLenum(GL_INVALID_ENUM));
    lfglMaterialf(GL_FRONT, GL_SHININESS, 200);
    EXPECT_EQ(lfglGetError(), GLenum(GL_INVALID_VALUE));
    EXPECT_EQ(lfglGetError(), GLenum(GL_NO_ERROR));
    for (GLenum e : {GL_NO_ERROR, GL_INVALID_ENUM, GL_STACK_OVERFLOW, GL_OUT_OF_MEMORY}) {
        ASSERT_NE(lfgluErrorString(e), nullptr);
        EXPECT_GT(std::strlen(reinterpret_cast<const char*>(lfgluErrorString(e))), 3u);
    }
    EXPECT_EQ(lfgluErrorString(0x1234), nullptr);
}

TEST(Pixels, RgbReadsMatchTheSystemGlAtEveryPackAlignment) {
    render(kLayerGl, [](const GlApi& gl) {
        gl.ortho(0, kWidth, 0, kHeight, -1, 1);
        gl.color3f(0.2f, 0.6f, 0.9f);
        gl.rectf(3, 3, 50, 40);
    });
    const int w = 37, h = 21; // rows of 111 bytes: padding differs at each alignment
    for (int alignment : {1, 2, 4, 8}) {
        std::vector<unsigned char> system(size_t(h) * 120, 0xAB), layer(size_t(h) * 120, 0xAB);
        glPixelStorei(GL_PACK_ALIGNMENT, alignment);
        glReadPixels(1, 2, w, h, GL_RGB, GL_UNSIGNED_BYTE, system.data());
        lfglReadPixels(1, 2, w, h, GL_RGB, GL_UNSIGNED_BYTE, layer.data());
        EXPECT_EQ(system, layer) << "alignment " << alignment;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

namespace {

void triangleAt(const GlApi& gl, float left) {
    const GLfloat corners[3][3] = {{left, 20, 0}, {left + 60, 20, 0}, {left + 30, 100, 0}};
    gl.begin(GL_TRIANGLES);
    for (const auto& c : corners) {
        gl.vertex3fv(c);
    }
    gl.end();
}

void projectWindow(const GlApi& gl, float left) {
    gl.matrixMode(GL_PROJECTION);
    gl.loadIdentity();
    gl.ortho(left, left + kWidth, 0, kHeight, -1, 1);
    gl.matrixMode(GL_MODELVIEW);
}

// The same triangles drawn twice, first where the projection leaves them out of view, then
// after a new projection (and after popping one) has brought them in: the second time their
// vertices equal ones just stored, whose clip coordinates were the old projection's.
void sameVerticesUnderANewProjection(const GlApi& gl) {
    gl.color3f(0.9f, 0.3f, 0.1f);
    projectWindow(gl, 0);
    triangleAt(gl, 260); // right of the window
    projectWindow(gl, 200);
    triangleAt(gl, 260); // now at x = 60

    gl.color3f(0.1f, 0.8f, 0.3f);
    gl.matrixMode(GL_PROJECTION);
    gl.pushMatrix();
    gl.loadIdentity();
    gl.ortho(0, kWidth, 0, kHeight, -1, 1);
    gl.matrixMode(GL_MODELVIEW);
    triangleAt(gl, 330); // right of the window again
    gl.matrixMode(GL_PROJECTION);
    gl.popMatrix(); // back to the window from 200
    gl.matrixMode(GL_MODELVIEW);
    triangleAt(gl, 330);
}

} // namespace

TEST(VertexReuse, CullsByTheProjectionInForceNotTheOneAVertexWasFirstStoredUnder) {
    const Picture system = render(kSystemGl, sameVerticesUnderANewProjection);
    const Picture layer = render(kLayerGl, sameVerticesUnderANewProjection);
    savePair("reuse-after-projection", system, layer);
    EXPECT_GT(system.countNonBackground(), 2 * 2000); // two triangles of 60 x 80
    EXPECT_EQ(compare(system, layer, 0).pixelsOver, 0)
        << "the system GL lit " << system.countNonBackground() << " pixels, the layer "
        << layer.countNonBackground();
}
