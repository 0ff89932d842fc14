// Geometry the scenes share, drawn through either table of entry points.
#pragma once

#include "harness.h"

// A sphere of radius 1 as one triangle strip per band, with smooth normals.
void drawSphere(const GlApi& gl, int slices, int stacks);
// A unit cube of six quads with flat normals, counter-clockwise from outside.
void drawCube(const GlApi& gl);
// A wavy height field of n x n cells as strips, like the show's terrain.
void drawGround(const GlApi& gl, int n);
// The show's camera: perspective and look-at both on the projection matrix.
void showCamera(const GlApi& gl, float eyeX, float eyeY, float eyeZ);
