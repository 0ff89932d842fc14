// The program modes and the build constants shared by the whole program.
// Each constant is file-local in every unit that includes this header (namespace-scope const).
#pragma once

enum ProgramMode {
    kpmAtStart = 0,     // scene built and shown, nothing moves until the show starts
    kpmAnimating = 1,   // the show plays; the idle callback is NextFrame
    kpmMakingMovie = 2, // held only while the movie hook runs
    kpmPaused = 3,      // paused; no idle callback
    kpmFinished = 4     // the timeline has ended; the animation clock is frozen
};

const bool kUseTextures = true;
const bool kUseLighting = true;
const bool kSoundOn = false;      // the soundtrack is governed by `sounds`, not by this switch
const unsigned char kEscape = 27; // the Escape key as GLUT's keyboard callback receives it
const short kWindowWidth = 720;
const short kWindowHeight = 576;
const bool kFlatFaces = true;
const bool kSmoothFaces = false;
const bool kDrawTranslucent = true;
const bool kDrawOpaque = false;
const bool kMipmaps = true;
const bool kNoMipmaps = false;
const bool kContinuousTone = true;
const bool kDiscreteTone = false;
