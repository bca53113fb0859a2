#pragma once
// The host's side of the editor's window, for our programs that act as hosts (the
// validator): a top-level window of the window system to hand effEditOpen, and a look at
// what the plug-in put inside it. One implementation per back end folder, each in a
// library of its own that the plug-in never links.
//
// A host window belongs to the thread that made it, as a host's windows belong to its
// user-interface thread: the editor is opened, idled and closed there.

#include <cstdint>
#include <memory>
#include <string>

namespace VSTGUI::platform {

class HostWindow {
public:
    // A mapped top-level window of width x height, or null with the reason when the
    // window system cannot be reached.
    static std::unique_ptr<HostWindow> create(int32_t width, int32_t height, std::string& reason);

    virtual ~HostWindow() = default;

    // What the host passes to effEditOpen: the window's id on X11, its HWND on Windows.
    virtual void* handle() const = 0;
    // The windows the plug-in made directly inside this one.
    virtual int32_t childCount() const = 0;
    // The size of the first of them; false when there is none.
    virtual bool childSize(int32_t& width, int32_t& height) const = 0;
    // Handles what the window system has for this thread's windows, as a host's event
    // loop does between its idle calls.
    virtual void pumpEvents() = 0;
    // For reports, e.g. "X11 window on :1".
    virtual std::string describe() const = 0;
};

}  // namespace VSTGUI::platform
