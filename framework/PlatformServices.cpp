#include "framework/platform/Platform.h"

#include <atomic>

namespace VSTGUI::platform {
namespace {

// Set while the program loads, before any thread can read it; the release store and the
// acquire loads make the table visible to every thread that reads it later.
std::atomic<const Services*> installed{nullptr};

}  // namespace

const Services& services() { return *installed.load(std::memory_order_acquire); }

void setServices(const Services& table) { installed.store(&table, std::memory_order_release); }

}  // namespace VSTGUI::platform
