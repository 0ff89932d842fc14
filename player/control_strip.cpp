// The control strip, drawn with the overlays' own calls (rectangles and the 8 x 13 text) so the
// browser's GL layer draws it too. Where things are comes from the pointer's layout, the same
// that hit-tests the pointer, so what is drawn is what a click finds.
#include "player/control_strip.h"

#include "basicsource/platform.h"
#include "basicsource/program_state.h"
#include "basicsource/scene.h"
#include "basicsource/utility.h"
#include "player/overlays.h"
#include "player/playback.h"
#include "player/pointer.h"
#include "player/pointer_input.h"

#include <GL/gl.h>

#include <string>

namespace {

const int kGlyphWidth = 8;
// Text cannot fade (it is drawn opaque): it goes once the strip is half faded.
const float kTextOpacity = 0.5f;

float middle(float a, float b) {
    return (a + b) / 2;
}

void drawTimelineTrack(const stripLayout& layout, float opacity) {
    const timelineSpan& span = layout.timeline;
    const float bottom = layout.trackBottom, top = layout.trackTop;
    const float now = timelineX(span, currentSeconds());
    glColor4f(0.45f, 0.45f, 0.45f, 0.9f * opacity);
    glRectf(span.left, bottom, span.right, top);
    glColor4f(0.95f, 0.65f, 0.35f, opacity);
    glRectf(span.left, bottom, now, top);
    glColor4f(0.9f, 0.9f, 0.9f, opacity);
    for (double start : kSceneStarts) {
        const float x = timelineX(span, start);
        glRectf(x - 1, bottom - 4, x + 1, top + 4);
    }
    glColor4f(1, 1, 1, opacity);
    glRectf(now - 3, bottom - 6, now + 3, top + 6);
}

// A triangle pointing right, one pixel column at a time (the layer draws rectangles anyway).
void drawPlaySymbol(const pixelBox& box) {
    const float width = 12, height = 14;
    const float left = middle(box.left, box.right) - width / 2 + 1;
    const float centre = middle(box.bottom, box.top);
    for (int column = 0; column < int(width); ++column) {
        const float half = height / 2 * (1 - float(column) / width);
        glRectf(left + float(column), centre - half, left + float(column) + 1, centre + half);
    }
}

void drawPauseSymbol(const pixelBox& box) {
    const float x = middle(box.left, box.right), y = middle(box.bottom, box.top);
    glRectf(x - 6, y - 7, x - 2, y + 7);
    glRectf(x + 2, y - 7, x + 6, y + 7);
}

// Four corners of a frame.
void drawFullScreenSymbol(const pixelBox& box) {
    const float x = middle(box.left, box.right), y = middle(box.bottom, box.top);
    const float halfWidth = 8, halfHeight = 6, arm = 5, thick = 2;
    for (float sx : {-1.0f, 1.0f}) {
        for (float sy : {-1.0f, 1.0f}) {
            const float cx = x + sx * halfWidth, cy = y + sy * halfHeight;
            glRectf(cx, cy, cx - sx * arm, cy - sy * thick);
            glRectf(cx, cy, cx - sx * thick, cy - sy * arm);
        }
    }
}

void drawButtonFace(const pixelBox& box, float opacity) {
    glColor4f(1, 1, 1, 0.12f * opacity);
    glRectf(box.left, box.bottom, box.right, box.top);
}

void drawCentredText(const std::string& text, const pixelBox& box, int baseline) {
    const int width = int(text.size()) * kGlyphWidth;
    DrawText(text.c_str(), int(middle(box.left, box.right)) - width / 2, baseline);
}

} // namespace

void drawControlStrip() {
    keepPointerInStep();
    const float opacity = pointerState().stripOpacity(pointerNow());
    if (gTextOn || opacity <= 0 || gWindowWidth <= 0) {
        return;
    }
    const stripLayout layout = layoutStrip(gWindowWidth);
    beginWindowPixels();
    glColor4f(0, 0, 0, 0.55f * opacity);
    glRectf(0, 0, float(gWindowWidth), float(kStripHeight));
    for (const pixelBox* box :
         {&layout.playPause, &layout.speed, &layout.fullScreen, &layout.help}) {
        drawButtonFace(*box, opacity);
    }
    drawTimelineTrack(layout, opacity);
    glColor4f(1, 1, 1, opacity);
    if (gProgramMode == kpmAnimating) {
        drawPauseSymbol(layout.playPause);
    } else {
        drawPlaySymbol(layout.playPause);
    }
    drawFullScreenSymbol(layout.fullScreen);
    endWindowPixels();
    if (opacity < kTextOpacity) {
        return;
    }
    DrawText(stripTimeText(currentSeconds(), kShowLength).c_str(), layout.timeTextX,
             layout.textBaseline);
    drawCentredText(speedText(animationSpeed()), layout.speed, layout.textBaseline);
    drawCentredText("?", layout.help, layout.textBaseline);
}
