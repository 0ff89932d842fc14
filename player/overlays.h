// What the player draws over the show: the list of keys (h), the timeline bar along the bottom
// (with the status line, t) and short notices in the status line's place.
#pragma once

#include <string>

// Registers the help and the timeline with the frame drawing; once, at start-up.
void installPlayerOverlays();
void toggleHelp();
// A message shown on the status line for a few seconds, e.g. where a screenshot went.
void showNotice(const std::string& text);
std::string currentNotice();
