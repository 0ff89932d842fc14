// The player's keys, beside the show's own: jumps, frame steps, scene starts, playback speed,
// help and screenshots. The shell hands each key here that is not one of the show's.
#pragma once

// Handles the player's keys; false for any other key.
bool playerKeyPress(unsigned char key);
bool playerSpecialKeyPress(int key);
