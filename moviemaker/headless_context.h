// An OpenGL context with no window and no display server, so movies render on servers, in
// containers and in CI. The movie draws into an offscreen frame of its own, so no surface is
// needed at all.
#pragma once

#include <string>

// Makes a desktop OpenGL (compatibility profile) context current; false with `problem` set when
// there is none to be had. `renderer` is the driver's name for what draws.
bool makeHeadlessContext(std::string& renderer, std::string& problem);
// Releases it (before the program ends).
void releaseHeadlessContext();
