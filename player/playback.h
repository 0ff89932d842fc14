// Playback control: starting, pausing, the idle callback that plays the show (NextFrame),
// jumps, speed, looping and keeping the soundtrack in step. This unit alone moves the program
// between its modes; keys, the command line and the movie ask it to.
#pragma once

#include <cstdint>

// The idle callback while the show plays: poses and draws the next frame; at the end it stops
// the clock and the sound, or starts again when looping.
void NextFrame();
// Whether NextFrame is installed as the idle callback.
bool idleCallbackInstalled();

// The opening screen, at start-up: the cast in its opening state, the frame counter and the
// clock at 0, the clock held there (every readout says 0:00, however long the screen is up) until
// a starts the show or a jump moves it.
void showOpeningScreen();
// Key a: the show from its beginning, with the soundtrack, from any mode.
void startShow();
// Key p: pauses a playing show, resumes a paused one; nothing in other modes.
void togglePause();
// Key m: the cast in its opening state and the clock at 0 s while the movie renders, and the
// finished mode after it.
void beginMovieMode();
void endMovieMode();

// Jumps to `seconds` (clamped to the show): the cast is posed as the show has it there and the
// soundtrack follows. From the opening screen or after the end it lands paused; otherwise the
// show keeps playing or stays paused.
void jumpTo(double seconds);
// Plays from `seconds`, from any mode (the command line's --start).
void playFrom(double seconds);
// One frame (1/25 s) forward or back on the frame grid; a playing show pauses first.
void stepFrame(int direction);
// Playback speed; the soundtrack is heard at 1x only.
void setPlaybackSpeed(double speed);
// At the end of the show, start again from 0 s with the soundtrack (for exhibitions).
void setLooping(bool loop);

// Called every frame while the show plays: where the sound heard has drifted from the picture
// by more than kSoundSlack seconds (a sound card's clock is not the system's), it is moved back.
const double kSoundSlack = 0.02;
void keepSoundInStep();

// The show time now, in seconds.
double currentSeconds();
