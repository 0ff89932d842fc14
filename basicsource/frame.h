// The window's picture: opening the window, drawing one frame of the show (the display
// callback ViewScene), following the window's size (ResizeWindow), and the overlays over it.
// Overlays beyond the status line and the credits are registered by the units that own them.
#pragma once

#include <cstddef>

// The show's title: the window's and the credits line's.
extern const char* const kShowTitle;

// What a frame shows besides the show itself; the credits belong to the show and always show.
struct frameLook {
    bool overlays = true;  // status line, frame rate, notice and registered overlays
    bool wireframe = false;
};
// As the window shows it; as a screenshot keeps it (the picture without overlays); and as a
// movie films it, whatever the window shows.
frameLook windowLook();
frameLook screenshotLook();
frameLook movieLook();

void ViewScene();
void ResizeWindow(int w, int h);
// Called after every frame the window shows (ViewScene, once its picture is swapped in),
// redraws of a paused show included; nullptr for none.
void setFrameShownHook(void (*hook)());
// Everything ViewScene draws, left in the back buffer without the swap (for reading it back).
void renderFrame();
void renderShowFrame(const frameLook& look);

// Drawn after the credits, in the order registered, when the look has overlays; registering
// the same one again changes nothing.
void addOverlay(void (*draw)());
// A message shown in the status line's place (with or without `t`) until cleared with "".
void setStatusNotice(const char* text);
const char* statusNotice();

// The status line: frame counter, polygons of the last frame, the animation time and the
// speed when it is not 1x.
void formatStatusLine(char* out, size_t size);
// The width-to-height ratio of the window; a zero height (a minimised window) counts as 1.
float windowAspectRatio();

// Opens the 720 x 576 double-buffered window with a depth buffer at (100, 100), after glutInit,
// multisampled with up to `samples` samples where the display offers them; returns how many.
int openShowWindow(const char* title, int samples = 1);
