// The equaliser's editor. The effect creates it at construction and keeps it for its whole
// life; the host opens its window and closes it again, possibly many times.
//
// Threads: the host may set parameters (and so call showParameter) and change the sample
// rate from any of its threads, the audio thread included. Those calls only publish the
// new value; the editor's thread applies it to the views at its next timer tick or idle
// call. Everything else here runs on the editor's thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "editor/AEffGUIEditor.h"
#include "editor/EditListener.h"
#include "effect/ControlTable.h"
#include "effect/EffectDisplay.h"
#include "framework/CControlListener.h"
#include "framework/platform/Platform.h"

namespace VSTGUI {
class CView;
class CBitmap;
class CControl;
class CKickButton;
class CParamDisplay;
class CTextLabel;
}  // namespace VSTGUI

class CFRGRAP;
class VUMETER;

// The longest documentation path handed to the desktop, terminator included.
constexpr std::size_t kDocumentationPathSize = 260;

// Writes <folder of libraryPath><separator>documents<separator>index.htm to out. False, and
// out empty, when libraryPath holds no separator or the result would not fit in
// kDocumentationPathSize characters.
bool documentationPath(const char* libraryPath, char separator, char* out);

class SDEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
public:
    static constexpr uint32_t kTimerInterval = 25;

    // The editor reaches the effect through the host interface and reads what it shows
    // through the display; both are the effect's.
    SDEditor(AudioEffectX& effect, EffectDisplay& display);
    // The effect's editor factory: the plug-in format hands it to the effect, which owns
    // the editor from then on.
    static std::unique_ptr<AEffEditor> create(AudioEffectX& effect, EffectDisplay& display);
    // Closes a window the host left open, so that no view or timer outlives the effect.
    ~SDEditor() override;

    // The host's editor calls. [UI thread]
    bool open(void* parent) override;
    void close() override;
    bool idle() override;

    // Publishes a parameter value the effect stored; the views follow at the next tick.
    // [any thread]
    void showParameter(int32_t index, float value) override;
    // Publishes the host's new sample rate for the graph's axis. [any thread]
    void setGraphSampleRate(int32_t hz) override;

    // A control's gesture is bracketed for the host, except the information button's:
    // it is no host parameter, and the host is sent nothing for it. [UI thread]
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    // A control's user change goes to the effect and on to the host, or to the edit
    // listener where one is set. [UI thread]
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;
    int32_t modifierClicked(VSTGUI::CDrawContext*, VSTGUI::CControl*, VSTGUI::MouseButtons) override { return 0; }

    // With an edit listener, the window's new size goes to it rather than to the effect's host.
    bool requestHostResize(int32_t width, int32_t height) override;

    // From now on the user's edits go to listener instead of the effect; null restores
    // the effect. The listener outlives the editor's window. [UI thread]
    void setEditListener(EditListener* listener) { editListener = listener; }

    // One refresh: pending values, the meter, new spectra, a stale response; draws only
    // what changed. [UI thread]
    void refreshViews();
    // Opens the user documentation beside the library. [UI thread]
    void openDocumentation();

    // Whether the host's first idle after an open has let the analysers be fed. [any thread]
    bool isGraphReady() const;
    bool canOpenDocumentation() const { return documentationOpener != nullptr; }

    // What the window holds, for the tests and tools. [UI thread]
    VSTGUI::CFrame* getFrame() const { return frame; }
    CFRGRAP* getGraphView() const { return graphView; }
    VUMETER* getMeterView() const { return meterView; }
    VSTGUI::CControl* getControl(int32_t index) const { return controls[index]; }
    VSTGUI::CParamDisplay* getValueDisplay(int32_t index) const { return valueDisplays[index]; }
    VSTGUI::CTextLabel* getNameLabel(int32_t index) const { return nameLabels[index]; }
    VSTGUI::CKickButton* getInfoButton() const;
    uint32_t getTimerId() const { return timerId; }

private:
    struct DocumentationOpener;

    // A view made for the window and not yet taken by the frame: released should the
    // building stop before the frame takes it.
    struct ReleaseView {
        void operator()(VSTGUI::CView* view) const;
    };
    template <class View>
    using NewView = std::unique_ptr<View, ReleaseView>;

    // Builds the window into `frame`; false when no window could be made. Throws when
    // memory runs out, leaving what was made for discardWindow.
    bool buildWindow(void* parent);
    void buildRow(const ControlDescriptor& row);
    // Hands the view to the frame, which releases it with the window.
    template <class View>
    View* adopt(NewView<View> view);
    // Releases the window and every view in it, stops the timer and forgets the views.
    void discardWindow();
    // The bitmap resource id, decoded at its first use and kept for the editor's life, so
    // that reopening the window decodes nothing; null for ids below 1. The views take
    // their own references.
    VSTGUI::CBitmap* bitmap(int32_t id);
    struct AppliedValues {
        bool any = false;
        // An analyser switch, which the graph shows.
        bool switches = false;
    };
    // Applies the values published since the last call; answers what it applied.
    AppliedValues applyPendingValues();
    void applyPendingSampleRate();
    // SLOPE, RANGE and SHIFT set the graph's tilt and scale; other indices change nothing.
    void applyToGraph(int32_t index, float real);
    static void timerTick(VSTGUI::platform::Window& window, uint32_t id);

    EffectDisplay& display;
    EditListener* editListener = nullptr;
    CFRGRAP* graphView = nullptr;
    VUMETER* meterView = nullptr;
    std::unique_ptr<DocumentationOpener> documentationOpener;
    std::array<VSTGUI::CControl*, kNumParameters> controls{};
    std::array<VSTGUI::CParamDisplay*, kNumParameters> valueDisplays{};
    std::array<VSTGUI::CTextLabel*, kNumParameters> nameLabels{};
    VSTGUI::CBitmap* background = nullptr;
    std::unordered_map<int32_t, VSTGUI::CBitmap*> bitmaps;
    uint32_t timerId = 0;
    int32_t timerInterval = 0;
    // This editor told the effect its window is open: a host's close without an opening, or
    // a second close, must not take back another window's count.
    bool windowCounted = false;
    // Set by every refresh of the views, so that the host's idle call can tell whether the
    // editor's timer refreshed them inside its pump.
    bool viewsRefreshed = false;
    // The last value the Reset and information buttons reported.
    float lastResetValue = 0;
    float lastInfoValue = 0;

    // The hand-off from the host's threads: a writer stores the value, then raises its
    // mark, then the summary flag (release); the editor's thread clears the flag and each
    // mark before it reads the value (acquire), so a value written meanwhile raises its
    // mark again and is applied at the next tick.
    std::array<std::atomic<float>, kNumParameters> pendingValues{};
    std::array<std::atomic<bool>, kNumParameters> pendingMarks{};
    std::atomic<bool> anyPending{false};
    // 0 when no new rate waits.
    std::atomic<int32_t> pendingSampleRate{0};
};
