// Key m: the whole show rendered as movie/lumenfold.mp4 while the window shows each frame with
// a progress bar. The movie has the window's callbacks to itself while it renders: Escape,
// closing the window, Ctrl-C or a kill cancel it (nothing partial is left) and the program
// then ends; other keys do nothing. The caller installs the show's callbacks again after.
#pragma once

#include "moviemaker/movie.h"

// The movie hook for key m: the whole show into movie/lumenfold.mp4; false when the user
// cancelled it and asked to quit.
bool renderMovieInWindow();
// The same for any settings, into `sink` when one is given (tests).
movieReport renderMovieInWindow(const movieSettings& settings, movieSink* sink = nullptr);
