// What a movie is: its range of the show, size, frame rate, anti-aliasing, quality and where it
// goes. One set of values from the command line (or key m) to the renderer, the outputs and the
// parallel parts.
#pragma once

#include "basicsource/constants.h"
#include "basicsource/scene.h"

#include <string>
#include <vector>

struct movieSettings {
    float from = 0; // show time of the first frame, seconds
    float to = kShowLength; // show time of the last frame
    // Frame numbers that replace from/to when not negative (the parts of a parallel render).
    int firstFrame = -1;
    int lastFrame = -1;
    int fps = kPoseFramesPerSecond;
    int width = kWindowWidth; // the show's own window size
    int height = kWindowHeight;
    int samples = 1; // multisampling for anti-aliasing; 1 is none
    int crf = 23;    // the encoder's quality: 0 lossless ... 51 worst
    int jobs = 0;    // processes rendering side by side; 0: one per core
    std::string output = "movie/lumenfold.mp4";
    bool outputGiven = false; // --output was on the command line, not the default
    // When set, numbered PNG frames go into this new folder instead of a movie file.
    std::string framesDirectory;
    // When set, the encoded chunks are left in this folder (a part of a parallel render).
    std::string chunkDirectory;
    std::string soundtrack; // WAV for the audio track; empty or missing: no audio
    std::vector<std::string> join; // movies of consecutive ranges to join instead of rendering
    bool help = false;
    bool quiet = false; // no progress on standard error, only the summary
    // Only say the range's chunks (for tools that share the parts out, such as a cluster's).
    bool listChunks = false;
    // Only say the settings that make the movie what it is, in one line (movieSettingsLine).
    bool printSettings = false;
    // A part of a parallel render: the number of frames done goes to standard output after
    // every frame, one number a line, for the parent's progress line.
    bool reportFrames = false;
};

// Frames are encoded in chunks of this many frames on a fixed grid of the show's frame numbers,
// each chunk starting on a key frame, so a movie is the same however its range was split.
const int kMovieChunkFrames = 250;

// The frames a range of show time covers at `fps`: from the first at or after `from` to the last
// at or before `to` (and the end of the show).
void movieFrameRange(float from, float to, int fps, int& first, int& last);
// The frames the settings ask for: their frame numbers when set, else their range of time.
void movieFrames(const movieSettings& settings, int& first, int& last);
