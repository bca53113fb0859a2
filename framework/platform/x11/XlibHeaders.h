#pragma once
// Xlib for the back end's files. X.h defines CursorShape as a plain macro, which would
// rewrite the seam's enum of that name, so it goes: nothing here asks for best sizes.

#include <X11/Xlib.h>

#undef CursorShape
