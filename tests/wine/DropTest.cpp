// Files and text dragged with OLE onto the golden scene's window: the frame's drop target
// reports enter, move and drop to the view under the cursor, with the number of items,
// shows the drag as a move and the drop as taking nothing.

#include "framework/CDragContainer.h"
#include "framework/CFrame.h"
#include "framework/CView.h"
#include "tools/golden-images/GoldenScene.h"
#include "tools/wine-host/WineHost.h"

#include <gtest/gtest.h>

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <string>

namespace tolvan::test {
namespace {

using namespace VSTGUI;

// Records what the frame forwards to it.
class DropProbe : public CView {
public:
    using CView::CView;
    void dragEnter(CDrawContext*, CDragContainer* drag, Point) override
    {
        ++enters;
        items = drag->getCount();
        type = drag->getType();
    }
    void dragMove(CDrawContext*, CDragContainer*, Point) override { ++moves; }
    void dragLeave(CDrawContext*, CDragContainer*, Point) override { ++leaves; }
    bool drop(CDrawContext*, CDragContainer*, Point) override
    {
        ++drops;
        return false;
    }
    int enters = 0;
    int moves = 0;
    int leaves = 0;
    int drops = 0;
    int32_t items = -1;
    int32_t type = -1;
};

HGLOBAL fileList(const std::vector<std::string>& files)
{
    std::string names;
    for (const std::string& file : files) names += file + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL text(const char* value)
{
    HGLOBAL memory = GlobalAlloc(GHND, std::strlen(value) + 1);
    std::memcpy(GlobalLock(memory), value, std::strlen(value) + 1);
    GlobalUnlock(memory);
    return memory;
}

// A data object that offers one format as global memory.
class DataObject : public IDataObject {
public:
    DataObject(CLIPFORMAT offered, HGLOBAL content) : format(offered), memory(content) {}
    ~DataObject() { GlobalFree(memory); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the test's stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) override
    {
        if (QueryGetData(request) != S_OK) return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = OleDuplicateData(memory, format, 0);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* request) override
    {
        return request->cfFormat == format && (request->tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC offered{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &offered, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ULONG references = 1;
    CLIPFORMAT format;
    HGLOBAL memory;
};

// The user's hand: holds the button for a few of OLE's polls, moving a little, then lets go.
class DropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override
    {
        ++polls;
        if (polls % 3 == 0) {
            POINT cursor;
            GetCursorPos(&cursor);
            SetCursorPos(cursor.x + 1, cursor.y);
        }
        return polls < 12 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override
    {
        lastFeedback = effect;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }
    int polls = 0;
    DWORD lastFeedback = DROPEFFECT_NONE;
};

struct DropResult {
    HRESULT result;
    DWORD effect;
    DWORD feedback;
};

DropResult dragOnto(DropProbe*& probe, CLIPFORMAT format, HGLOBAL content)
{
    HWND host = createHostWindow(100, 100, kGoldenSceneSize.width(), kGoldenSceneSize.height());
    DropResult outcome{};
    {
        GoldenSceneFrame scene(host);
        probe = new DropProbe({80, 30, 120, 60});
        scene.frame()->addView(probe);
        probe->retain();  // read after the frame has gone
        pumpMessages(100);
        SetCursorPos(100 + 95, 100 + 45);
        DataObject data(format, content);
        DropSource source;
        outcome.result = DoDragDrop(&data, &source, DROPEFFECT_MOVE | DROPEFFECT_COPY, &outcome.effect);
        outcome.feedback = source.lastFeedback;
    }
    DestroyWindow(host);
    return outcome;
}

class DragAndDrop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override
    {
        if (probe) probe->release();
        OleUninitialize();
    }
    DropProbe* probe = nullptr;
};

TEST_F(DragAndDrop, FilesReachTheViewUnderTheCursorAsAMove)
{
    const DropResult outcome = dragOnto(probe, CF_HDROP, fileList({"C:\\a.wav", "C:\\b.wav"}));
    EXPECT_EQ(outcome.result, DRAGDROP_S_DROP);
    EXPECT_EQ(probe->enters, 1);
    EXPECT_GE(probe->moves, 1);
    EXPECT_EQ(probe->drops, 1);
    EXPECT_EQ(probe->items, 2);
    EXPECT_EQ(probe->type, static_cast<int32_t>(platform::DropData::Kind::Files));
    // Shown as a move while dragging; the drop takes nothing, so the source keeps its files.
    EXPECT_EQ(outcome.feedback, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_EQ(outcome.effect, static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(DragAndDrop, TextCountsAsOneItem)
{
    dragOnto(probe, CF_TEXT, text("Peak1"));
    EXPECT_EQ(probe->enters, 1);
    EXPECT_EQ(probe->drops, 1);
    EXPECT_EQ(probe->items, 1);
    EXPECT_EQ(probe->type, static_cast<int32_t>(platform::DropData::Kind::Text));
}

}  // namespace
}  // namespace tolvan::test
