#pragma once
// Puts a window's finished pixels on the screen. It sends only the rectangle that changed
// since the last present (plus any area the server asked us to paint again), through a
// shared-memory image where the server offers MIT-SHM and an ordinary XPutImage otherwise.
// Pixels go across unchanged on 24- and 32-bit TrueColor visuals with the usual channel
// layout, and the image itself is then the record of what the window shows; any other
// TrueColor layout is converted, and a copy of what was sent is kept beside the image.

#include "framework/ChangedRows.h"
#include "framework/PixelSurface.h"

#include "framework/platform/x11/SharedMemoryExtension.h"

#include <cstdint>
#include <span>
#include <vector>

namespace VSTGUI::x11 {

class Connection;

// An area whose pixels may have changed: all of it, or on each of its rows only inside
// that row's span.
struct ChangedArea {
    Rect area;
    // Empty when every row may have changed whole; otherwise one span for each row of area.
    std::vector<ColumnSpan> rows;

    // The part of row y (inside area) that may have changed.
    ColumnSpan row(int32_t y) const;
    // Takes other in: the rectangle that holds both, and row by row what either may have
    // changed.
    void join(const ChangedArea& other);
};

class Presenter {
public:
    Presenter(Connection& connection, ::Window window, Visual* visual, int depth);
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    void resize(int32_t width, int32_t height);
    // Sends what changed in surface since the last present, and all of mustSend. Only pixels
    // inside the areas of mayHaveChanged are compared; the caller knows nothing changed
    // outside. Each area's changes go across as one image, so that the pixels between two
    // distant ones are not sent.
    void present(const PixelSurface& surface, const Rect& mustSend, std::span<const ChangedArea> mayHaveChanged);
    bool usesSharedMemory() const { return shm != nullptr; }
    // Takes the server's word that it has read the shared image; false for any other event.
    bool takeCompletion(const XEvent& event);

private:
    void createImage(int32_t width, int32_t height);
    bool createSharedImage(const SharedMemoryExtension& calls, int32_t width, int32_t height);
    void destroyImage();
    // Copies area of surface into the image (and the copy of what was sent).
    void store(const PixelSurface& surface, const Rect& area);
    // Pixels go across as they are: stores the pixels inside within that differ from the
    // image and answers the rectangle that holds them.
    Rect storeChanges(const PixelSurface& surface, const ChangedArea& within);
    // The first and the last pixel in [left, right) where a row of the surface differs
    // from the image's; right when none does. lastDifference needs one that does.
    int32_t firstDifference(const Pixel* source, const uint32_t* target, int32_t left, int32_t right) const;
    int32_t lastDifference(const Pixel* source, const uint32_t* target, int32_t left, int32_t right) const;
    bool rangeDiffers(const Pixel* source, const uint32_t* target, int32_t from, int32_t to) const;
    // Columns [left, right) of a row.
    struct Columns {
        int32_t left;
        int32_t right;
    };
    // Halves [left, right), which holds a difference, down to a few pixels that hold the
    // first one (or the last).
    Columns narrow(const Pixel* source, const uint32_t* target, int32_t left, int32_t right, bool last) const;
    void copyRow(const Pixel* source, uint32_t* target, int32_t left, int32_t right) const;
    // Puts area of the image on the window; answers whether there was anything to send.
    bool send(const Rect& area);
    // Returns once the server has read the shared image sent last: the image may change.
    void awaitServer();
    uint32_t* imageRow(int32_t y) const;

    Connection& connection;
    Display* display;
    ::Window window;
    Visual* visual;
    int depth;
    GC gc;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    // MIT-SHM's calls while the image is a shared one, else null.
    const SharedMemoryExtension* shm = nullptr;
    // The shared image goes across without a wait: the server answers each put with a
    // completion event, which the event pump reads in its own time. Until the one for
    // the last put has come (its sequence number or a later one), the image is the
    // server's to read.
    int completionType = -1;
    unsigned long lastPut = 0;
    bool serverReading = false;
    // The pixels go across as they are, with alphaBits set; otherwise converted one by one.
    bool direct = false;
    uint32_t alphaBits = 0;
    int32_t width = 0;
    int32_t height = 0;
    // What was sent, where the image holds converted pixels; empty otherwise.
    PixelSurface shown;
};

// The rectangle that holds every pixel inside within in which a and b (of the same size)
// differ; empty when they are equal there.
Rect changedArea(const PixelSurface& a, const PixelSurface& b, const Rect& within);

}  // namespace VSTGUI::x11
