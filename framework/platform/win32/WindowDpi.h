#pragma once
// The dots per inch Windows asks of a window's contents, for the editor's scale: 96 is the
// skin's own size, 192 twice that. A process that is not aware of per-monitor scales is
// told 96 everywhere and has its windows enlarged by the system, so the skin's own size
// is right for it too.

#include <windows.h>

#include <cstdint>

namespace VSTGUI::win32 {

inline constexpr uint32_t kBaseDotsPerInch = 96;

// [UI thread] The window's dots per inch: GetDpiForWindow where the system has it (Windows
// 10 1607 on), else the screen's.
uint32_t windowDotsPerInch(HWND window);
// [UI thread] The screen's dots per inch, before any window exists: the screen device
// context's LOGPIXELSX; kBaseDotsPerInch when unknown.
uint32_t screenDotsPerInch();
// [UI thread] screenDotsPerInch over kBaseDotsPerInch, for the services table.
double screenScaleFactor();

}  // namespace VSTGUI::win32
