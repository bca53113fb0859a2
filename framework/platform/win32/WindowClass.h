#pragma once
// The window class of the frame windows: "Plugin%p" with the instance handle of the module
// this code is linked into, so that a second copy of the module loaded from another path
// registers a class of its own. The first window of the module registers it and the last
// one to go unregisters it.

#include <windows.h>

namespace VSTGUI::win32 {

// The module (plug-in library or program) that holds the back end.
HINSTANCE moduleInstance();

// [any thread] Registers the class when no window of the module uses it yet and counts one
// more user; returns the class name, or null when it cannot be registered.
const char* acquireWindowClass(WNDPROC procedure);
// [any thread] One user less; the last one unregisters the class.
void releaseWindowClass();

}  // namespace VSTGUI::win32
