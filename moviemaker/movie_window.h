// Key m: the whole show rendered as movie/lumenfold.mp4 while the window shows each frame with
// a progress bar. The movie has the window's callbacks to itself while it renders (only Escape
// and closing the window act: they cancel it); the caller installs the show's again after.
#pragma once

#include "moviemaker/movie.h"

// The movie hook for key m: the whole show into movie/lumenfold.mp4; false when the user
// cancelled it and asked to quit.
bool renderMovieInWindow();
// The same for any settings, into `sink` when one is given (tests).
movieReport renderMovieInWindow(const movieSettings& settings, movieSink* sink = nullptr);
