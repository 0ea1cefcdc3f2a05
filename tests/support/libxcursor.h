#pragma once
// libXcursor, the cursor themes' real reader, for the tests that load what
// we write. Include after GoogleTest: Xlib's macros (None, Bool, Status,
// True, False) would rename the types of what comes after them.

#include <X11/Xcursor/Xcursor.h>
#undef None
#undef Bool
#undef Status
#undef True
#undef False
