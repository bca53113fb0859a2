#include "framework/platform/x11/X11Presenter.h"

#include "framework/platform/x11/X11Connection.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace VSTGUI::x11 {
namespace {

constexpr uint32_t kRedMask = 0xFF0000;
constexpr uint32_t kGreenMask = 0x00FF00;
constexpr uint32_t kBlueMask = 0x0000FF;

// One 8-bit channel placed into a mask of any width and position.
unsigned long placeChannel(uint32_t value, unsigned long mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const unsigned long scaled = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : value >> (8 - bits);
    return (scaled << shift) & mask;
}

}  // namespace

ColumnSpan ChangedArea::row(int32_t y) const
{
    if (y < area.top || y >= area.bottom) return {};
    if (rows.empty()) return {area.left, area.right};
    const ColumnSpan span = rows[static_cast<std::size_t>(y - area.top)];
    return {std::max(span.left, area.left), std::min(span.right, area.right)};
}

void ChangedArea::join(const ChangedArea& other)
{
    if (other.area.isEmpty()) return;
    const Rect joined = area.united(other.area);
    if (rows.empty() && other.rows.empty()) {
        area = joined;
        return;
    }
    std::vector<ColumnSpan> joinedRows(static_cast<std::size_t>(joined.height()));
    for (int32_t y = joined.top; y < joined.bottom; ++y)
        joinedRows[static_cast<std::size_t>(y - joined.top)] = row(y).united(other.row(y));
    area = joined;
    rows = std::move(joinedRows);
}

Rect changedArea(const PixelSurface& a, const PixelSurface& b, const Rect& within)
{
    Rect area;
    const Rect compared = within.intersected(a.bounds());
    if (compared.isEmpty()) return area;
    const std::size_t rowBytes = static_cast<std::size_t>(compared.width()) * sizeof(Pixel);
    for (int32_t y = compared.top; y < compared.bottom; ++y) {
        const Pixel* rowA = a.row(y);
        const Pixel* rowB = b.row(y);
        if (std::memcmp(rowA + compared.left, rowB + compared.left, rowBytes) == 0) continue;
        int32_t left = compared.left;
        while (rowA[left] == rowB[left]) ++left;
        int32_t right = compared.right;
        while (rowA[right - 1] == rowB[right - 1]) --right;
        area = area.united({left, y, right, y + 1});
    }
    return area;
}

Presenter::Presenter(Connection& owner, ::Window target, Visual* windowVisual, int windowDepth)
    : connection(owner), display(owner.display()), window(target), visual(windowVisual), depth(windowDepth),
      gc(XCreateGC(display, target, 0, nullptr))
{
}

Presenter::~Presenter()
{
    destroyImage();
    // Also on a lost connection: Xlib then drops the request but frees its side of the GC.
    XFreeGC(display, gc);
}

void Presenter::resize(int32_t width, int32_t height)
{
    destroyImage();
    createImage(width, height);
}

void Presenter::createImage(int32_t newWidth, int32_t newHeight)
{
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    shown.resize(0, 0);
    if (width == 0 || height == 0) return;
    if (!(connection.sharedMemory() != nullptr && createSharedImage(*connection.sharedMemory(), width, height))) {
        image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                             static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
        if (image == nullptr) return;
        image->data = static_cast<char*>(
            std::calloc(static_cast<std::size_t>(image->bytes_per_line), static_cast<std::size_t>(height)));
        if (image->data == nullptr) {
            XDestroyImage(image);
            image = nullptr;
            return;
        }
    }
    const bool littleEndian = std::endian::native == std::endian::little;
    direct = visual->c_class == TrueColor && (depth == 24 || depth == 32) && image->bits_per_pixel == 32 &&
             visual->red_mask == kRedMask && visual->green_mask == kGreenMask && visual->blue_mask == kBlueMask &&
             image->byte_order == (littleEndian ? LSBFirst : MSBFirst);
    // A 32-bit visual carries alpha in the remaining bits: the editor is opaque.
    alphaBits = depth == 32 ? ~(kRedMask | kGreenMask | kBlueMask) : 0;
    // The first present sends everything: the window shows nothing of ours yet, and the
    // new image (zeroed) matches no opaque pixel.
    if (direct) return;
    shown.resize(width, height);
    shown.fill(0);
}

bool Presenter::createSharedImage(const SharedMemoryExtension& calls, int32_t width, int32_t height)
{
    segment = {};
    image = calls.createImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &segment,
                              static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image == nullptr) return false;
    const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(height);
    segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* address = segment.shmid >= 0 ? shmat(segment.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
    bool attached = false;
    if (address != reinterpret_cast<void*>(-1)) {
        segment.shmaddr = image->data = static_cast<char*>(address);
        segment.readOnly = False;
        // A server on another machine, or in another IPC namespace, refuses the segment.
        attached = connection.checked([&] { calls.attach(display, &segment); });
    }
    // Marked for removal at once: the segment goes when both sides have let go, even if
    // the host crashes.
    if (segment.shmid >= 0) shmctl(segment.shmid, IPC_RMID, nullptr);
    if (!attached) {
        if (address != reinterpret_cast<void*>(-1)) shmdt(address);
        image->data = nullptr;
        XDestroyImage(image);
        image = nullptr;
        segment = {};
        return false;
    }
    shm = &calls;
    completionType = calls.getEventBase(display) + ShmCompletion;
    return true;
}

void Presenter::destroyImage()
{
    if (image == nullptr) return;
    if (shm != nullptr) {
        // The server must have let go before our side does; a lost server has.
        if (!connection.lost()) {
            shm->detach(display, &segment);
            XSync(display, False);
        }
        shmdt(segment.shmaddr);
        image->data = nullptr;
        segment = {};
        shm = nullptr;
        serverReading = false;
    }
    XDestroyImage(image);
    image = nullptr;
}

Rect Presenter::storeChanges(const PixelSurface& surface, const ChangedArea& within)
{
    Rect area;
    const Rect compared = within.area.intersected(surface.bounds());
    if (compared.isEmpty()) return area;
    for (int32_t y = compared.top; y < compared.bottom; ++y) {
        const ColumnSpan span = within.row(y);
        const int32_t from = std::max(span.left, compared.left);
        const int32_t to = std::min(span.right, compared.right);
        if (from >= to) continue;
        const Pixel* source = surface.row(y);
        uint32_t* target = imageRow(y);
        const int32_t left = firstDifference(source, target, from, to);
        if (left == to) continue;
        const int32_t right = lastDifference(source, target, left, to) + 1;
        copyRow(source, target, left, right);
        area = area.united({left, y, right, y + 1});
    }
    return area;
}

// A curve changes a few pixels of each row, anywhere along it: the first and the last
// change are found by halving the range, with memcmp where the pixels go across as they
// are, in a few calls each rather than one per pixel or per block.
constexpr int32_t kScanBlock = 16;

bool Presenter::rangeDiffers(const Pixel* source, const uint32_t* target, int32_t from, int32_t to) const
{
    if (alphaBits == 0)
        return std::memcmp(source + from, target + from, static_cast<std::size_t>(to - from) * sizeof(Pixel)) != 0;
    uint32_t differing = 0;
    for (int32_t i = from; i < to; ++i) differing |= (source[i] | alphaBits) ^ target[i];
    return differing != 0;
}

Presenter::Columns Presenter::narrow(const Pixel* source, const uint32_t* target, int32_t left, int32_t right,
                                     bool last) const
{
    // A change at the end searched from (a whole area redrawn differently) is found in the
    // first block; only then is the rest halved.
    if (right - left > kScanBlock) {
        const Columns edge = last ? Columns{right - kScanBlock, right} : Columns{left, left + kScanBlock};
        if (rangeDiffers(source, target, edge.left, edge.right)) return edge;
        if (last)
            right = edge.left;
        else
            left = edge.right;
    }
    while (right - left > kScanBlock) {
        const int32_t middle = left + (right - left) / 2;
        const bool inUpperHalf =
            last ? rangeDiffers(source, target, middle, right) : !rangeDiffers(source, target, left, middle);
        (inUpperHalf ? left : right) = middle;
    }
    return {left, right};
}

int32_t Presenter::firstDifference(const Pixel* source, const uint32_t* target, int32_t left, int32_t right) const
{
    if (!rangeDiffers(source, target, left, right)) return right;
    int32_t x = narrow(source, target, left, right, false).left;
    while ((source[x] | alphaBits) == target[x]) ++x;
    return x;
}

int32_t Presenter::lastDifference(const Pixel* source, const uint32_t* target, int32_t left, int32_t right) const
{
    int32_t x = narrow(source, target, left, right, true).right - 1;
    while ((source[x] | alphaBits) == target[x]) --x;
    return x;
}

void Presenter::copyRow(const Pixel* source, uint32_t* target, int32_t left, int32_t right) const
{
    if (alphaBits == 0) {
        std::memcpy(target + left, source + left, static_cast<std::size_t>(right - left) * sizeof(Pixel));
        return;
    }
    for (int32_t x = left; x < right; ++x) target[x] = source[x] | alphaBits;
}

uint32_t* Presenter::imageRow(int32_t y) const
{
    return reinterpret_cast<uint32_t*>(image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line);
}

void Presenter::store(const PixelSurface& surface, const Rect& area)
{
    for (int32_t y = area.top; y < area.bottom; ++y) {
        const Pixel* source = surface.row(y);
        if (direct) {
            copyRow(source, imageRow(y), area.left, area.right);
            continue;
        }
        std::memcpy(shown.row(y) + area.left, source + area.left,
                    static_cast<std::size_t>(area.width()) * sizeof(Pixel));
        for (int32_t x = area.left; x < area.right; ++x) {
            const Pixel p = source[x];
            const unsigned long value = placeChannel((p >> 16) & 0xFF, visual->red_mask) |
                                        placeChannel((p >> 8) & 0xFF, visual->green_mask) |
                                        placeChannel(p & 0xFF, visual->blue_mask) | alphaBits;
            XPutPixel(image, x, y, value);
        }
    }
}

bool Presenter::send(const Rect& area)
{
    if (area.isEmpty()) return false;
    const auto areaWidth = static_cast<unsigned>(area.width());
    const auto areaHeight = static_cast<unsigned>(area.height());
    if (shm != nullptr) {
        lastPut = XNextRequest(display);
        shm->putImage(display, window, gc, image, area.left, area.top, area.left, area.top, areaWidth, areaHeight,
                      True);
        serverReading = true;
    } else {
        XPutImage(display, window, gc, image, area.left, area.top, area.left, area.top, areaWidth, areaHeight);
    }
    return true;
}

void Presenter::present(const PixelSurface& surface, const Rect& mustSend, std::span<const ChangedArea> mayHaveChanged)
{
    if (image == nullptr || surface.width() != width || surface.height() != height) return;
    awaitServer();
    const Rect lost = mustSend.intersected(surface.bounds());
    store(surface, lost);
    bool sent = send(lost);
    for (const ChangedArea& within : mayHaveChanged) {
        Rect area;
        if (direct) {
            // The image is what the window shows: one pass compares with it and stores
            // what differs, and no second copy is kept.
            area = storeChanges(surface, within);
        } else {
            // Converted pixels are rare enough to compare whole rows of the area.
            area = changedArea(surface, shown, within.area);
            store(surface, area);
        }
        sent = send(area) || sent;
    }
    if (sent) XFlush(display);
}

bool Presenter::takeCompletion(const XEvent& event)
{
    if (shm == nullptr || event.type != completionType) return false;
    // The serial is that of the put the server finished; an earlier put's says nothing
    // about the last one.
    if (static_cast<long>(event.xany.serial - lastPut) >= 0) serverReading = false;
    return true;
}

void Presenter::awaitServer()
{
    if (!serverReading) return;
    // Presents closer together than the event pump's calls (a drag): the server has read
    // the earlier put once it answers a later request.
    XSync(display, False);
    serverReading = false;
}

}  // namespace VSTGUI::x11
