#pragma once
// The client side of MIT-SHM, taken from libXext at run time. The plug-in links only
// libX11, so it loads wherever X does; where libXext is missing too, or the server does
// not offer the extension, windows are presented with plain XPutImage.

#include "framework/platform/x11/XlibHeaders.h"
#include <X11/extensions/XShm.h>

namespace VSTGUI::x11 {

struct SharedMemoryExtension {
    // The calls, loaded once per process and kept until the plug-in is unloaded; null
    // when libXext cannot be loaded or lacks one of them.
    static const SharedMemoryExtension* load();

    // Typed after the declarations only; nothing here links against libXext.
    decltype(&::XShmQueryExtension) queryExtension;
    decltype(&::XShmCreateImage) createImage;
    decltype(&::XShmAttach) attach;
    decltype(&::XShmDetach) detach;
    decltype(&::XShmPutImage) putImage;
    decltype(&::XShmGetEventBase) getEventBase;
};

}  // namespace VSTGUI::x11
