// A movie rendered by several processes of the movie program side by side, each a run of
// whole chunks, then joined without being encoded again; the file does not depend on how many
// processes made it.
#pragma once

#include "moviemaker/movie_settings.h"

#include <functional>
#include <string>

// How the work of a movie went, summed over every process that made part of it.
struct movieSplit {
    int frames = 0;
    int processes = 1;
    double renderSeconds = 0, readbackSeconds = 0, encodeSeconds = 0, joinSeconds = 0;
};

// Renders frames first..last of the settings in up to settings.jobs processes of this program
// and joins them into settings.output. A failure or a stop (SIGINT, SIGTERM) ends every part and
// leaves nothing behind but, on failure, the log of what failed; the previous movie stays.
// Returns false with `error` set. `progress` hears the frames done by all parts together, a few
// times a second and as they come.
bool renderInParallel(const movieSettings& settings, int first, int last, movieSplit& split,
                      std::string& error, const std::function<void(int done)>& progress = {});
// A part's report, written by the process that made it into its chunk folder.
void writePartReport(const std::string& chunkDirectory, int firstFrame, const movieSplit& split);
