// What the player draws over the show: the list of keys (h), the timeline bar along the bottom
// (with the status line, t), the pointer's control strip and short notices in the status line's
// place.
#pragma once

#include <string>
#include <vector>

// Registers the help and the timeline with the frame drawing; once, at start-up.
void installPlayerOverlays();
void toggleHelp();
// The list of keys as the help shows it in this program.
std::vector<std::string> helpLines();
// A message shown on the status line for a few seconds, e.g. where a screenshot went.
void showNotice(const std::string& text);
// What key m says in a program without the movie maker.
extern const char* const kNoMovieMakerNotice;
std::string currentNotice();
// Drawing in window pixels, origin at the lower left, with the scene's state put aside, blended.
void beginWindowPixels();
void endWindowPixels();
