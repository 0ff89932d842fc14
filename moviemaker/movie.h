// Renders the show as a movie: every frame posed and drawn at exactly its own show time (frame n
// at n / fps seconds, on a clock driven by the frame number), without overlays and whatever the
// window shows, in an offscreen frame of the movie's size, read back and handed to an output.
// Used by key m (movie_window) and by the movie program (lumenfold-movie).
#pragma once

#include "moviemaker/movie_output.h"
#include "moviemaker/movie_settings.h"

#include <functional>
#include <string>

struct movieReport {
    bool completed = false;
    bool cancelled = false;
    std::string error;          // why it was not completed, when it was not cancelled
    int frames = 0;
    double renderSeconds = 0;   // posing and drawing
    double readbackSeconds = 0; // glReadPixels
    double encodeSeconds = 0;   // handing frames to the output (and waiting for the encoder)
    int samples = 1;            // the multisampling the driver gave
    int firstFrame = 0;
    int lastFrame = -1;
};

// What the caller hears of a render in progress.
struct movieHooks {
    // Asked before every frame that is drawn; true stops the render and removes its partial
    // output.
    std::function<bool()> cancelRequested;
    // After every frame: the framebuffer holding it, its size, frames done and in all.
    std::function<void(unsigned framebuffer, int width, int height, int done, int total)>
        frameDone;
};

// Rebuilds the cast in its opening state, then renders the settings' frames into `sink`, or
// into the output the settings ask for when it is null. The program mode, clock, speed and
// window size are as before afterwards.
movieReport renderShowMovie(const movieSettings& settings, movieSink* sink = nullptr,
                            const movieHooks& hooks = {});
