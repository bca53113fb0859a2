#pragma once
// What the X server holds for one client, counted by type (the X-Resource extension):
// the leak checks compare windows, pixmaps, cursors, graphics contexts and shared-memory
// segments before and after many open/close cycles.

#include <X11/Xlib.h>

#include <map>
#include <string>

namespace tolvan::test {

// Resource counts by type name ("WINDOW", "PIXMAP", "CURSOR", "GC", "ShmSeg", ...) of
// the client that owns anyResource; empty when the server lacks the extension.
std::map<std::string, int> clientResources(Display* display, XID anyResource);

}  // namespace tolvan::test
