// Builds without a window system have no host window to offer: editors get a stand-in.

#include "framework/platform/HostWindow.h"

namespace VSTGUI::platform {

std::unique_ptr<HostWindow> HostWindow::create(int32_t, int32_t, std::string& reason)
{
    reason = "this build has no window system";
    return nullptr;
}

}  // namespace VSTGUI::platform
