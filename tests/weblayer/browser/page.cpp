// The browser side of the check: a WebGL 2 context on the page's canvas, the test scene, and a
// timed run of the show-shaped load. Compiled with emcc, the layer's sources and
// -include web/gl/names.h, so every fixed-function call below goes through the layer.
#include "scenes.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

char gReport[1024];

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Frames whose start falls in each whole second of the run; the smallest count.
int slowestSecond(const std::vector<double>& frameMs) {
    int slowest = 1 << 30, inSecond = 0;
    double elapsed = 0, secondEnds = 1000;
    for (double ms : frameMs) {
        if (elapsed >= secondEnds) {
            slowest = std::min(slowest, inSecond);
            inSecond = 0;
            secondEnds += 1000;
        }
        ++inSecond;
        elapsed += ms;
    }
    return slowest == (1 << 30) ? inSecond : slowest;
}

// What per-vertex lighting would cost on the CPU instead: the same sums for four lights as
// the layer's vertex shader, over `count` vertices.
double cpuLightingMs(int count) {
    std::vector<float> out(size_t(count) * 3);
    const double start = emscripten_get_now();
    const float lights[4][3] = {{20, 8, -5}, {-20, 10, 3}, {5, 12, 15}, {-3, 14, -25}};
    for (int v = 0; v < count; ++v) {
        const float p[3] = {float(v % 181) - 90, 0.5f, float(v / 181) - 90};
        const float n[3] = {0.1f, 0.99f, 0.05f};
        float c[3] = {0.1f, 0.1f, 0.1f};
        for (const auto& l : lights) {
            float d[3] = {l[0] - p[0], l[1] - p[1], l[2] - p[2]};
            const float inv = 1 / std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
            for (float& x : d) {
                x *= inv;
            }
            const float nl = n[0] * d[0] + n[1] * d[1] + n[2] * d[2];
            if (nl <= 0) {
                continue;
            }
            float h[3] = {d[0], d[1], d[2] + 1};
            const float hInv = 1 / std::sqrt(h[0] * h[0] + h[1] * h[1] + h[2] * h[2]);
            const float nh = (n[0] * h[0] + n[1] * h[1] + n[2] * h[2]) * hInv;
            const float s = nh > 0 ? std::pow(nh, 20.0f) : 0;
            for (int k = 0; k < 3; ++k) {
                c[k] += nl * 0.7f + s * 0.5f;
            }
        }
        for (int k = 0; k < 3; ++k) {
            out[size_t(v) * 3 + size_t(k)] = std::min(c[k], 1.0f);
        }
    }
    const double ms = emscripten_get_now() - start;
    volatile float keep = out[size_t(count) / 2];
    (void)keep;
    return ms;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void showTestScene() {
    drawTestScene();
    glFinish();
}

// Times `frames` frames from `startSeconds`; each frame ends with a one-pixel read, which waits
// for the GPU (timers and requestAnimationFrame are unreliable in headless mode).
EMSCRIPTEN_KEEPALIVE const char* runBenchmark(int frames, int lit) {
    std::vector<double> total, cpu;
    unsigned char pixel[4];
    for (int f = 0; f < frames; ++f) {
        const double start = emscripten_get_now();
        drawShowLoad(80.0 + f / 25.0, lit != 0);
        const double drawn = emscripten_get_now();
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        const double end = emscripten_get_now();
        total.push_back(end - start);
        cpu.push_back(drawn - start);
    }
    // The same frames again without waiting after each: the CPU's work on one frame overlaps the
    // GPU's on the one before, as in a browser's own frame loop; one wait at the end.
    // The browser makes the CPU wait once it is too far ahead, so the time from one frame's
    // start to the next is the pace the GPU keeps.
    std::vector<double> pipelined;
    const double pipelinedStart = emscripten_get_now();
    double frameStart = pipelinedStart;
    for (int f = 0; f < frames; ++f) {
        drawShowLoad(80.0 + f / 25.0, lit != 0);
        glFlush();
        const double now = emscripten_get_now();
        pipelined.push_back(now - frameStart);
        frameStart = now;
    }
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    const double pipelinedMs = (emscripten_get_now() - pipelinedStart) / frames;
    const double worst = *std::max_element(total.begin(), total.end());
    double sum = 0;
    for (double ms : total) {
        sum += ms;
    }
    std::snprintf(gReport, sizeof gReport,
                  "{\"frames\": %d, \"lit\": %d, \"medianMs\": %.2f, \"meanMs\": %.2f, "
                  "\"worstMs\": %.2f, \"callsMedianMs\": %.2f, \"slowestSecondFrames\": %d, "
                  "\"pipelinedMeanMs\": %.2f, \"pipelinedSlowestSecondFrames\": %d, "
                  "\"cpuLighting65kVerticesMs\": %.2f}",
                  frames, lit, median(total), sum / frames, worst, median(cpu),
                  slowestSecond(total), pipelinedMs, slowestSecond(pipelined),
                  cpuLightingMs(181 * 181 * 2));
    return gReport;
}

} // extern "C"

int main() {
    EmscriptenWebGLContextAttributes a;
    emscripten_webgl_init_context_attributes(&a);
    a.majorVersion = 2;
    a.minorVersion = 0;
    a.depth = 1;
    a.alpha = 0;
    a.antialias = 0;
    a.preserveDrawingBuffer = 1;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_create_context("#canvas", &a);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        std::printf("no WebGL 2 context\n");
        return 1;
    }
    EM_ASM(window.layerReady = true;);
    return 0;
}
