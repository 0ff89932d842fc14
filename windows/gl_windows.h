// Included before every source of the Windows program: Windows' GL header stops at GL 1.1, so
// the names of later GL versions that the show uses (the sample count, for one) come from the
// extension header, as Linux's GL header includes it by itself.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
