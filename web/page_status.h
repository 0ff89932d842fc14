// What the page's parts tell each other besides the show's playing state: that the address
// stopped the show before it ran (a refusal, or the usage or version asked for), read through
// lumenfold_status rather than from what the program prints; the soundtrack's readiness; and
// whether the address asked to play at once.
#pragma once

#include "player/launch_options.h"

#include <string>

void reportLaunchStop(bool refused, const std::string& message);
// The address asked to play from a moment (?start=84 without &paused): the show waits there,
// paused, and plays once the music can, if the browser lets sound start unasked.
void playWhenMusicCan();

// The soundtrack for the page: fetched once the show is set up, unless it is muted.
void fetchSoundtrack();
enum soundtrackState { soundtrackLoading, soundtrackReady, soundtrackFailed };
soundtrackState soundtrackReadiness();
// Asks the browser to let sound start unasked; lumenfold_play_unasked is called if it does.
void askToPlayUnasked();
