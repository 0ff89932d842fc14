// What the browser check draws, written against plain GL names like the program: compiled for
// the browser with web/gl/names.h force-included (so through the layer), and natively against
// the system's GL for the reference picture and timings.
#pragma once

const int kSceneWidth = 720;
const int kSceneHeight = 576;

// A still picture: lit shapes, a translucent one, wireframe, text and an overlay bar.
void drawTestScene();

// One frame shaped like the show's heaviest: a 181 x 181 terrain as 180 strips, 460 blocks of
// 22 faces (each face its own glBegin/glEnd, each block inside its own attribute push with its
// material), four moving lights, an opaque and a translucent pass, then text and overlay bars.
// `lit` false draws it all unlit (to measure what lighting costs).
void drawShowLoad(double seconds, bool lit);
