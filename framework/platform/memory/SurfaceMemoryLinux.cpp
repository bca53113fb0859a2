#include "framework/platform/SurfaceMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace VSTGUI::platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// From this size on a surface gets whole huge pages: every page the system maps costs a
// fault, and in a virtual machine each one costs as much as drawing thousands of pixels.
// The rest of the last huge page is memory the surface does not use, a fair price for a
// window that opens in a fraction of the time.
constexpr std::size_t kLargeSurface = std::size_t{1} << 20;

bool isLarge(std::size_t bytes) { return bytes >= kLargeSurface; }

std::size_t mappedSize(std::size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* allocateSurfaceMemory(std::size_t bytes, bool zeroed)
{
    if (!isLarge(bytes)) return zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
    const std::size_t size = mappedSize(bytes);
    // One huge page more than needed, so that a huge-page boundary lies inside; the parts
    // before and after it go back at once.
    void* region = mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(region);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~(std::uintptr_t{kHugePage} - 1);
    const std::uintptr_t end = start + size + kHugePage;
    if (aligned > start) munmap(region, aligned - start);
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    // Only a hint: where the system has no huge pages to give, the pages are small and the
    // memory works the same.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void freeSurfaceMemory(void* memory, std::size_t bytes)
{
    if (memory == nullptr) return;
    if (isLarge(bytes))
        munmap(memory, mappedSize(bytes));
    else
        std::free(memory);
}

}  // namespace VSTGUI::platform
