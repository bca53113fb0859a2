#pragma once
// The OLE drop target of a frame window: forwards enter, move, leave and drop to the
// window's owner with what is dragged (text, or a number of files).

#include "framework/platform/Platform.h"

#include <ole2.h>

namespace VSTGUI::win32 {

class Win32Window;

// The window holds one reference and the registration with OLE another; OLE may keep the
// object a little longer than the window, so the window detaches itself before it goes.
class DropTarget final : public IDropTarget {
public:
    explicit DropTarget(Win32Window& window) : window(&window) {}
    void detach() { window = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    ~DropTarget() = default;
    bool deliver(platform::WindowEvent::Kind kind, const platform::DropData* drop);

    ULONG references = 1;
    Win32Window* window;
};

// What a data object carries: text counts as one item, files as one each.
platform::DropData describeDropData(IDataObject* data);

}  // namespace VSTGUI::win32
