// The one place where the browser build and the native test build differ. Both compile the
// layer against the OpenGL ES 3.0 API: emscripten maps it onto WebGL 2, and natively the system's
// desktop library serves the same entry points in a compatibility context (ARB_ES3_compatibility
// takes the "#version 300 es" shaders). The fixed-function enums the layer implements itself are
// not in the ES header; their values are OpenGL 1.x's.
#pragma once

#include <GLES3/gl3.h>

namespace lfgl {

// Once per context, before the first draw.
inline void prepareBackend() {
#ifndef __EMSCRIPTEN__
    // Desktop GL ignores gl_PointSize unless asked; ES always takes it.
    const GLenum kProgramPointSize = 0x8642;
    glEnable(kProgramPointSize);
#endif
}

} // namespace lfgl

#ifndef GL_MODELVIEW
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#endif
#ifndef GL_QUADS
#define GL_QUADS 0x0007
#define GL_POLYGON 0x0009
#endif
#ifndef GL_LIGHTING
#define GL_LIGHTING 0x0B50
#define GL_LIGHT0 0x4000
#define GL_NORMALIZE 0x0BA1
#define GL_ALPHA_TEST 0x0BC0
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_SPECULAR 0x1202
#define GL_POSITION 0x1203
#define GL_EMISSION 0x1600
#define GL_SHININESS 0x1601
#define GL_AMBIENT_AND_DIFFUSE 0x1602
#define GL_LIGHT_MODEL_AMBIENT 0x0B53
#endif
#ifndef GL_FILL
#define GL_POINT 0x1B00
#define GL_LINE 0x1B01
#define GL_FILL 0x1B02
#endif
#ifndef GL_COMPILE
#define GL_COMPILE 0x1300
#define GL_COMPILE_AND_EXECUTE 0x1301
#endif
#ifndef GL_STACK_OVERFLOW
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
#endif
#ifndef GL_CURRENT_BIT
#define GL_CURRENT_BIT 0x00000001
#define GL_POINT_BIT 0x00000002
#define GL_POLYGON_BIT 0x00000008
#define GL_LIGHTING_BIT 0x00000040
#define GL_VIEWPORT_BIT 0x00000800
#define GL_TRANSFORM_BIT 0x00001000
#define GL_ENABLE_BIT 0x00002000
#define GL_TEXTURE_BIT 0x00040000
#define GL_ALL_ATTRIB_BITS 0xFFFFFFFF
#endif
#ifndef GL_MODELVIEW_MATRIX
#define GL_CURRENT_COLOR 0x0B00
#define GL_CURRENT_NORMAL 0x0B02
#define GL_CURRENT_RASTER_COLOR 0x0B04
#define GL_CURRENT_RASTER_POSITION 0x0B07
#define GL_CURRENT_RASTER_POSITION_VALID 0x0B08
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
#define GL_POINT_SIZE 0x0B11
#define GL_POLYGON_MODE 0x0B40
#endif
