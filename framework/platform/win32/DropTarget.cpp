#include "framework/platform/win32/DropTarget.h"

#include "framework/platform/win32/Win32Window.h"

#include <shellapi.h>

namespace VSTGUI::win32 {
namespace {

bool carries(IDataObject* data, CLIPFORMAT format, STGMEDIUM& medium)
{
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SUCCEEDED(data->GetData(&request, &medium));
}

}  // namespace

platform::DropData describeDropData(IDataObject* data)
{
    platform::DropData drop;
    STGMEDIUM medium{};
    if (carries(data, CF_TEXT, medium)) {
        drop = {platform::DropData::Kind::Text, 1};
        ReleaseStgMedium(&medium);
    } else if (carries(data, CF_HDROP, medium)) {
        const UINT files = DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0);
        drop = {platform::DropData::Kind::Files, static_cast<int32_t>(files)};
        ReleaseStgMedium(&medium);
    }
    return drop;
}

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID id, void** object)
{
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() { return ++references; }

ULONG STDMETHODCALLTYPE DropTarget::Release()
{
    const ULONG left = --references;
    if (left == 0) delete this;
    return left;
}

bool DropTarget::deliver(platform::WindowEvent::Kind kind, const platform::DropData* drop)
{
    platform::WindowEvent event;
    event.kind = kind;
    event.drop = drop;
    return window != nullptr && window->deliver(event);
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    const platform::DropData drop = data ? describeDropData(data) : platform::DropData{};
    const bool accepted = data != nullptr && deliver(platform::WindowEvent::Kind::DragEnter, &drop);
    if (effect) *effect = accepted ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    const bool accepted = deliver(platform::WindowEvent::Kind::DragMove, nullptr);
    if (effect) *effect = accepted ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave()
{
    deliver(platform::WindowEvent::Kind::DragLeave, nullptr);
    return S_OK;
}

// Nothing here takes the items, so the drop reports no effect: a source told "moved"
// would delete the originals.
HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect)
{
    deliver(platform::WindowEvent::Kind::Drop, nullptr);
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace VSTGUI::win32
