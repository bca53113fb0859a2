// A plug-in-like DLL for the wine suite: the golden scene with the Win32 back end linked in,
// so that a test can load two copies of one module from two paths, as some hosts do.

#include "tools/golden-images/GoldenScene.h"

#include <windows.h>

extern "C" {

__declspec(dllexport) void* openScene(HWND parent) { return new tolvan::test::GoldenSceneFrame(parent); }

__declspec(dllexport) void closeScene(void* scene) { delete static_cast<tolvan::test::GoldenSceneFrame*>(scene); }

}  // extern "C"
