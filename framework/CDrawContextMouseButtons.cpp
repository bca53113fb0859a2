// Kept apart from the drawing operations so that drawing links without a platform back end.
#include "framework/CDrawContext.h"

#include "framework/platform/Platform.h"

namespace VSTGUI {

MouseButtons CDrawContext::getMouseButtons() { return platform::services().getMouseButtons(); }

}  // namespace VSTGUI
