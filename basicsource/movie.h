// Renders the show as a movie: every frame posed and drawn at exactly its own show time (frame n
// at n / fps seconds, on a clock driven by the frame number), in an offscreen frame of the
// movie's size (multisampled for anti-aliasing), read back and handed to a movie sink. Used by
// key `m` and by the headless movie program.
#pragma once

#include "basicsource/platform.h"

#include <functional>
#include <string>

struct movieOptions {
    float from = 0;
    float to = 130;
    // Frame numbers that replace from/to when not negative (the parts of a parallel render).
    int firstFrame = -1;
    int lastFrame = -1;
    int fps = 25;
    int width = 720;
    int height = 576;
    int samples = 1; // multisampling for anti-aliasing; 1 is none
    int crf = 23;
    // When set, the encoded chunks are left in this folder (a part of a parallel render).
    std::string chunkDirectory;
    std::string output = "movie/lumenfold.mp4";
    std::string soundtrack = resourceFile("Sonavel.wav"); // where the program finds it
    // Show each frame in the window with a progress bar, and listen for Escape.
    bool showProgress = false;
    // Asked before every frame; true stops the render and removes its partial output.
    std::function<bool()> cancelRequested;
};

struct movieReport {
    bool completed = false;
    bool cancelled = false;
    int frames = 0;
    double renderSeconds = 0;   // posing and drawing
    double readbackSeconds = 0; // glReadPixels
    double encodeSeconds = 0;   // handing frames to the sink (and waiting for the encoder)
    int samples = 1;            // the multisampling used: what was asked, or the driver's most
    int firstFrame = 0;
    int lastFrame = -1;
};

// The frames a range of show time covers at `fps`: from the first at or after `from` to the last
// at or before `to` (and the end of the show).
void movieFrameRange(float from, float to, int fps, int& first, int& last);
// The most samples the driver offers for a multisampled frame.
int maximumSamples();

// Rebuilds the cast in its opening state, then renders [from, to]. With a sink of its own the
// frames go there; otherwise to openMovieSink.
movieReport renderShowMovie(const movieOptions& options, movieSink* sink = nullptr);
