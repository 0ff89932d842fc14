// Renders the show as a movie: every frame posed and drawn at exactly its own show time (frame n
// at n / fps seconds, on a clock driven by the frame number), in an offscreen 720 x 576 frame,
// read back and handed to a movie sink. Used by key `m` and by the headless movie program.
#pragma once

#include "basicsource/platform.h"

#include <functional>
#include <string>

struct movieOptions {
    float from = 0;
    float to = 130;
    int fps = 25;
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
};

// Rebuilds the cast in its opening state, then renders [from, to]. With a sink of its own the
// frames go there; otherwise to openMovieSink.
movieReport renderShowMovie(const movieOptions& options, movieSink* sink = nullptr);
