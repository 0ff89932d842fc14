// Rendering utilities: the bitmap-font overlay, the frame-rate readout and credits line, the one
// fatal-error exit, degree trigonometry, normals and the eased motions of the timeline.
#pragma once

#include <cstddef>
#include <string>

// Text in window pixels, origin at the lower left; a line break starts a line 12 pixels lower.
// The text is UTF-8 (a file's name may be in any language); see nextFontCharacter.
void DrawText(const char* s, int x, int y);
// The character of the 8 x 13 font (ISO 8859-1) that stands for the UTF-8 text at `s`, moving
// `s` past what it stands for: Latin-1 letters as themselves, any other letter as '?'. A byte
// that starts no valid UTF-8 sequence stands for itself, as Latin-1.
unsigned char nextFontCharacter(const char*& s);
// What draws one character of the 8 x 13 font at the raster position: GLUT's font, unless a
// program without a window system (and so without GLUT) installs another; nullptr restores it.
void setCharacterDrawer(void (*draw)(unsigned char));
void DrawFrameRate();
void ShowCopyright(const char* year, const char* rightsOwner, const char* artist,
                   const char* title);
// The credits line, as ShowCopyright draws it; the text is cut to fit `size`.
void formatCopyright(char* out, size_t size, const char* year, const char* rightsOwner,
                     const char* artist, const char* title);
// The text the frame-rate readout drew last.
const char* frameRateReadout();

// Writes s and a line end to standard output and ends the process with status -1.
[[noreturn]] void fatal(const char* s);
// The same for a failure about a file (its path as the program tried it): a platform whose user
// may not see standard output (Windows, started with a double-click) also shows the words and
// the file through its reporter before the process ends.
[[noreturn]] void fatalAbout(const char* s, const std::string& file);
// Installed by such a platform; fatal calls it with no file. nullptr: none.
void setFatalReporter(void (*reporter)(const char* words, const std::string& file));
void openGLCheckError();

// Degrees per radian, in single precision: every degree conversion uses this rounded value.
const float degPerRad = 57.29578f;

float sin_d(float f);
float cos_d(float f);
float atan_d(float f);
void ReduceToUnit(float* vector);
void calculateNormal(float* out, const float* va, const float* vb, const float* vc);

// Eased motions read the animation clock themselves; callers pass only the schedule.
float smoothAcceleration(float startTime, float rampDur, float cruiseDur, float initialVal,
                         float finalVal);
float speedUp(float startTime, float duration, float initialVal, float finalVal);
