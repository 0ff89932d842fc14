// Key s: the picture without overlays, saved as screenshots/lumenfold-084.00s.png (with -2, -3
// ... when that name is taken); the status line says where it went or why it could not.
#pragma once

#include <string>

// Saves the current picture; returns the file's name, empty on failure.
std::string saveScreenshot();
// Where key s puts the picture, as the help says it: "into screenshots/" (a download in the
// browser).
std::string screenshotDestination();
