// The control strip along the bottom of the window: play/pause, the time and the show's length,
// the timeline with its scene marks, speed, full screen and help. It shows while the pointer
// moves and fades after; with t on, the status line and its bar stand in its place.
#pragma once

// The overlay that draws it (window frames only: screenshots and movies have no overlays).
void drawControlStrip();
