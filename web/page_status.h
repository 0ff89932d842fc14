// What the page learns from the show besides its playing state: that the address stopped it
// before it ran (a refusal, or the usage or version asked for), read through lumenfold_status
// rather than from what the program prints.
#pragma once

#include "player/launch_options.h"

void reportLaunchStop(const launchStop& stop);
