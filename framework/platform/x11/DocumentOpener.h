#pragma once
// Opens documents with the desktop's handler: xdg-open, started directly with an argument
// vector (no shell, so no file name can become a command) and not waited for. Our children
// are reaped without blocking whenever the editor's thread passes by, so none is left as a
// zombie once it has finished; only our own children are waited for, never the host's.

namespace VSTGUI::x11 {

// [UI thread] False when xdg-open could not be started.
bool openWithDesktop(const char* path);
// [UI thread] Reaps the openers that have finished.
void reapFinishedOpeners();

}  // namespace VSTGUI::x11
