// Force-included into every source of the program in the web build (-include web/gl/names.h):
// renames each fixed-function GL, GLU and GLUT call the show makes to the layer's function of
// the same signature (glBegin -> lfglBegin, gluLookAt -> lfgluLookAt, glutBitmapCharacter ->
// lfglutBitmapCharacter), before any GL header is read, so that the headers' declarations and
// the program's calls both name the layer. glutSwapBuffers, glFlush, glFinish and
// glBindFramebuffer are renamed too: they must first send what the layer has batched. The
// layer's own sources are compiled without this header and call the real OpenGL ES 3.0 API.
#pragma once

#define glMatrixMode lfglMatrixMode
#define glLoadIdentity lfglLoadIdentity
#define glPushMatrix lfglPushMatrix
#define glPopMatrix lfglPopMatrix
#define glTranslatef lfglTranslatef
#define glRotatef lfglRotatef
#define glScalef lfglScalef
#define glOrtho lfglOrtho
#define gluPerspective lfgluPerspective
#define gluLookAt lfgluLookAt

#define glBegin lfglBegin
#define glEnd lfglEnd
#define glVertex3fv lfglVertex3fv
#define glNormal3fv lfglNormal3fv
#define glColor3f lfglColor3f
#define glColor4f lfglColor4f
#define glRectf lfglRectf
#define glPointSize lfglPointSize

#define glEnable lfglEnable
#define glDisable lfglDisable
#define glIsEnabled lfglIsEnabled
#define glLightfv lfglLightfv
#define glLightModelfv lfglLightModelfv
#define glMaterialfv lfglMaterialfv
#define glMaterialf lfglMaterialf
#define glDepthMask lfglDepthMask
#define glAlphaFunc lfglAlphaFunc
#define glBlendFunc lfglBlendFunc
#define glPolygonMode lfglPolygonMode
#define glClearColor lfglClearColor
#define glClear lfglClear
#define glViewport lfglViewport
#define glPushAttrib lfglPushAttrib
#define glPopAttrib lfglPopAttrib

#define glGenLists lfglGenLists
#define glNewList lfglNewList
#define glEndList lfglEndList
#define glCallList lfglCallList
#define glDeleteLists lfglDeleteLists

#define glRasterPos2i lfglRasterPos2i
#define glutBitmapCharacter lfglutBitmapCharacter

#define glGetError lfglGetError
#define gluErrorString lfgluErrorString
#define glGetFloatv lfglGetFloatv
#define glReadPixels lfglReadPixels
#define glPixelStorei lfglPixelStorei

#define glFlush lfglFlush
#define glFinish lfglFinish
#define glutSwapBuffers lfglutSwapBuffers
#define glBindFramebuffer lfglBindFramebuffer

#include <GL/gl.h>

#include "web/gl/layer.h"
