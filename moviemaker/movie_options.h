// The movie program's command line (lumenfold-movie): range, size, anti-aliasing, quality,
// parallel jobs, PNG frames, and joining parts made elsewhere; and the command line of a part
// of a parallel render. Parsing is plain logic, tested on its own.
#pragma once

#include "moviemaker/movie_settings.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct movieCommandResult {
    bool ok = true;
    std::string error; // one line saying what is wrong, when !ok
};

movieCommandResult parseMovieCommand(int argc, const char* const* argv, movieSettings& settings);
std::string movieUsage();

// The arguments (after the program's name) that make this program render frames first..last of
// the settings as chunks into `folder`: a part of a parallel render.
std::vector<std::string> partCommandLine(const movieSettings& settings, int first, int last,
                                         const std::string& folder);

// The chunks (kMovieChunkFrames on the grid of the show's frame numbers) that frames
// first..last touch: each chunk's index and the frames of the range in it.
struct movieChunk {
    int index, first, last;
};
std::vector<movieChunk> chunksOfRange(int first, int last);
// The file name of the chunk with that index ("chunk-000012.mp4"), wherever chunks are kept.
std::string movieChunkName(int index);

// What makes a movie's file what it is, frames first..last of the settings, in one line that
// does not depend on the order of the options or on defaults left out:
// "frames 250-750 fps 25 size 64x48 aa 1 crf 23".
std::string movieSettingsLine(const movieSettings& settings, int first, int last);

// The frame ranges of at most `jobs` consecutive runs of whole chunks (kMovieChunkFrames on the
// grid of the show's frame numbers) covering first..last, cut where the summed `cost` of the
// frames (1 each when none is given) is shared most evenly.
std::vector<std::pair<int, int>> splitIntoChunkRuns(int first, int last, int jobs,
                                                    const std::function<double(int)>& cost = {});
