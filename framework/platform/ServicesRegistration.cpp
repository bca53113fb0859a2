// Hands the linked back end's services to the toolkit while the program or library loads.
// Each back end lists this file among the sources of whatever links it, so that the
// registration is part of every program with a back end, whichever of its functions the
// program calls by name.
#include "framework/platform/Platform.h"

namespace {

struct Registration {
    Registration() { VSTGUI::platform::setServices(VSTGUI::platform::backEndServices()); }
};

const Registration registration;

}  // namespace
