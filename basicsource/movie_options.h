// The movie program's command line (lumenfold-movie): range, size, anti-aliasing, quality,
// parallel jobs, and joining parts made elsewhere. Parsing is plain logic, tested on its own.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct movieCommand {
    float from = 0;
    float to = 130;
    int fps = 25;
    int width = 720;
    int height = 576;
    int samples = 1;
    int crf = 23;
    int jobs = 0; // 0: one per core
    std::string output = "movie/lumenfold.mp4";
    std::vector<std::string> join; // parts to join instead of rendering
    // A part of a parallel render (internal): frames first..last, chunks into a folder.
    int firstFrame = -1;
    int lastFrame = -1;
    std::string chunkDirectory;
    bool help = false;
};

struct movieCommandResult {
    bool ok = true;
    std::string error; // one line saying what is wrong, when !ok
};

movieCommandResult parseMovieCommand(int argc, const char* const* argv, movieCommand& command);
std::string movieUsage();

// The frame ranges of at most `jobs` consecutive runs of whole chunks (kMovieChunkFrames on the
// grid of the show's frame numbers) covering first..last, cut where the summed `cost` of the
// frames (1 each when none is given) is shared most evenly.
std::vector<std::pair<int, int>> splitIntoChunkRuns(int first, int last, int jobs,
                                                    const std::function<double(int)>& cost = {});
