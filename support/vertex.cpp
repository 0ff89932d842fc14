// The vertex record is all inline; this unit keeps the layout checks compiled into the library.
#include "support/vertex.h"
