// The browser's GLUT is the standard GLUT without freeglut's extensions; the few of them the
// show's sources use are declared here and given by the web platform (platform_web.cpp).
#pragma once

#include <GL/glut.h>

#ifdef __cplusplus
extern "C" {
#endif
// Nothing closes a page's window: the function takes the callback and never calls it.
void glutCloseFunc(void (*callback)(void));
#ifdef __cplusplus
}
#endif
