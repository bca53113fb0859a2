#include "editor/SDEditor.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>

#include "editor/GraphView.h"
#include "editor/VUMETER.h"
#include "effect/EffectBaseExtended.h"
#include "effect/ModulePath.h"
#include "effect/ParameterValues.h"
#include "framework/CAnimKnob.h"
#include "framework/CBitmap.h"
#include "framework/CFrame.h"
#include "framework/CKickButton.h"
#include "framework/CKnob.h"
#include "framework/COnOffButton.h"
#include "framework/COptionMenu.h"
#include "framework/CParamDisplay.h"
#include "framework/CSlider.h"
#include "framework/CTextLabel.h"
#include "resources/artwork/BitmapIds.h"

using namespace VSTGUI;

namespace {

constexpr int32_t kSkinBitmap = bitmapid::skin;
constexpr int32_t kInfoBitmap = bitmapid::info;
constexpr int32_t kInfoImageHeight = 16;
constexpr Color panelColor{64, 88, 112, 128};
constexpr Color textColor{208, 208, 208, 128};
constexpr FontIndex kValueFont = 6;
constexpr FontIndex kLabelFont = 4;
constexpr FontIndex kMenuFont = 3;
constexpr int32_t kBold = 1;
constexpr std::string_view kDocumentsFolder = "documents";
constexpr std::string_view kDocumentationFile = "index.htm";

// Hands out the timers' identifiers across every editor of the process.
std::atomic<uint32_t> timerCounter{0};

// What views draw while it lives reaches the window's screen in one present.
class PresentHold {
public:
    explicit PresentHold(platform::Window* held) : window(held)
    {
        if (window != nullptr) window->holdPresents();
    }
    ~PresentHold()
    {
        if (window != nullptr) window->releasePresents();
    }
    PresentHold(const PresentHold&) = delete;
    PresentHold& operator=(const PresentHold&) = delete;

private:
    platform::Window* window;
};

// One entry per comma-separated item of entries; none for a null list.
void addMenuEntries(COptionMenu& menu, const char* entries)
{
    if (entries == nullptr) return;
    std::string_view rest = entries;
    while (true) {
        const std::size_t comma = rest.find(',');
        menu.addEntry(std::string(rest.substr(0, comma)).c_str());
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
}

}  // namespace

struct SDEditor::DocumentationOpener {
    char libraryPath[kModulePathSize] = {};
    CKickButton* infoButton = nullptr;
};

bool documentationPath(const char* libraryPath, char separator, char* out)
{
    out[0] = '\0';
    const std::string_view library = libraryPath;
    const std::size_t lastSeparator = library.rfind(separator);
    // A library path without a folder names no place for the manual; appending to it would
    // open a wrong file, so nothing is opened.
    if (lastSeparator == std::string_view::npos) return false;
    const std::string_view folder = library.substr(0, lastSeparator + 1);
    const std::size_t length = folder.size() + kDocumentsFolder.size() + 1 + kDocumentationFile.size();
    if (length + 1 > kDocumentationPathSize) return false;
    char* end = out;
    end += folder.copy(end, folder.size());
    end += kDocumentsFolder.copy(end, kDocumentsFolder.size());
    *end++ = separator;
    end += kDocumentationFile.copy(end, kDocumentationFile.size());
    *end = '\0';
    return true;
}

SDEditor::SDEditor(AudioEffectX& effect, EffectDisplay& shown) : AEffGUIEditor(&effect), display(shown)
{
    // The skin's size from its headers alone: an effect whose editor never opens decodes
    // nothing, and hosts create effects (to scan, to load a session) far more often than
    // they open editors.
    int32_t width = 0, height = 0;
    CBitmap::resourceSize(kSkinBitmap, width, height);
    setLogicalSize(width, height);
}

std::unique_ptr<AEffEditor> SDEditor::create(AudioEffectX& effect, EffectDisplay& display)
{
    return std::make_unique<SDEditor>(effect, display);
}

SDEditor::~SDEditor()
{
    if (frame != nullptr) close();
    for (const auto& [id, loaded] : bitmaps) loaded->release();
    if (background != nullptr) background->release();
}

CBitmap* SDEditor::bitmap(int32_t id)
{
    if (id < 1) return nullptr;
    if (const auto found = bitmaps.find(id); found != bitmaps.end()) return found->second;
    // Entered only once decoded, so that a decoding that runs out of memory leaves no
    // empty entry behind.
    auto* loaded = new CBitmap(id);
    try {
        bitmaps.emplace(id, loaded);
    } catch (...) {
        loaded->release();
        throw;
    }
    return loaded;
}

CKickButton* SDEditor::getInfoButton() const
{
    return documentationOpener != nullptr ? documentationOpener->infoButton : nullptr;
}

void SDEditor::ReleaseView::operator()(CView* view) const { view->release(); }

bool SDEditor::open(void* parent)
{
    // A host that opens twice without closing gets one window, not two.
    if (frame != nullptr) close();
    // The graph shows what the analysers hold; an effect that ran out of memory for them
    // has no editor to show.
    if (!display.makeAnalysers()) return false;
    // The views are built from the values stored now; whatever the host publishes from
    // here on is applied at the first tick.
    for (auto& mark : pendingMarks) mark.store(false, std::memory_order_relaxed);
    anyPending.store(false, std::memory_order_release);
    pendingSampleRate.store(0, std::memory_order_release);

    AEffEditor::open(parent);
    try {
        if (buildWindow(parent)) return true;
    } catch (const std::exception&) {
        // Out of memory somewhere in the building: what was made goes, and the host is
        // told there is no window, as when none could be made.
    }
    discardWindow();
    return false;
}

bool SDEditor::buildWindow(void* parent)
{
    // Decoded at the first opening and kept, as the other bitmaps are.
    if (background == nullptr) background = new CBitmap(kSkinBitmap);
    frame = new CFrame({0, 0, background->getWidth(), background->getHeight()}, parent, this, chooseOpeningScale());
    // No window could be made (no display on this machine, or a parent that is not a
    // window): there is no editor to show, and the host learns it from the answer.
    if (frame->getWindow() == nullptr) return false;
    frame->setBackground(background);
    frame->setBackgroundColor(panelColor);
    for (const ControlDescriptor& row : controlTable) {
        if (row.name == nullptr) break;
        if (row.id != -1) buildRow(row);
    }

    documentationOpener = std::make_unique<DocumentationOpener>();
    const std::string_view library = display.getModulePath();
    library.copy(documentationOpener->libraryPath, std::min(library.size(), kModulePathSize - 1));

    const int32_t width = background->getWidth();
    const int32_t height = background->getHeight();
    documentationOpener->infoButton =
        adopt(NewView<CKickButton>(new CKickButton({width - 32 - 61, height - 19, width - 32, height - 3}, this,
                                                   kDocumentationParameter, kInfoImageHeight, bitmap(kInfoBitmap))));

    for (const ParamId index : {kSlopeParameter, kRangeParameter, kShiftParameter})
        applyToGraph(index, static_cast<float>(normalizedToReal(display.currentValue(index), index)));
    display.resetSpectra();
    graphView->resetTraces();
    display.measureResponse();
    graphView->traceSpectrum(CFRGRAP::Trace::response);

    timerInterval = static_cast<int32_t>(kTimerInterval);
    timerId = timerCounter.fetch_add(1, std::memory_order_relaxed);
    frame->getWindow()->startTimer(timerId, kTimerInterval, timerTick);
    display.setWindowOpen(true);
    windowCounted = true;
    // A window that opened on a screen of another scale than the one asked about before.
    followWindowScale();
    return true;
}

template <class View>
View* SDEditor::adopt(NewView<View> view)
{
    // Should the frame have no room left for it, the holder releases the view rather
    // than leak it.
    frame->addView(view.get());
    return view.release();
}

void SDEditor::buildRow(const ControlDescriptor& row)
{
    CBitmap* first = bitmap(row.bitmap);
    CBitmap* second = bitmap(row.secondBitmap);
    const int32_t w = first != nullptr ? first->getWidth() : 0;
    const int32_t h = first != nullptr ? first->getHeight() : 0;
    const int32_t x = row.x;
    const int32_t y = row.y;
    const auto value = static_cast<float>(display.currentValue(row.id));
    NewView<CControl> control;
    switch (row.kind) {
    case KindKnob: {
        NewView<CKnob> knob(new CKnob({x, y, x + w, y + h}, this, row.id, first, second));
        knob->setInsetValue(7);
        control = std::move(knob);
        break;
    }
    case KindAnimKnob: {
        // A film strip of square images: its height over its width counts them.
        const int32_t frames = w > 0 ? h / w : 0;
        const int32_t frameHeight = frames > 0 ? h / frames : 0;
        control.reset(new CAnimKnob({x, y, x + w, y + frameHeight}, this, row.id, frames, frameHeight, first));
        control->setDefaultValue(static_cast<float>(realToNormalized(row.defaultValue, row.id)));
        break;
    }
    case KindVerticalSlider: {
        const int32_t handleHeight = second != nullptr ? second->getHeight() : 0;
        NewView<CVerticalSlider> slider(new CVerticalSlider({x, y, x + w, y + h}, this, row.id, y,
                                                            y + h - handleHeight - 1, second, first, {0, 0}));
        slider->setOffsetHandle({1, 0});
        control = std::move(slider);
        break;
    }
    case KindOnOffButton: control.reset(new COnOffButton({x, y, x + w, y + h / 2}, this, row.id, first)); break;
    case KindKickButton: control.reset(new CKickButton({x, y, x + w, y + h / 2}, this, row.id, h / 2, first)); break;
    case KindOptionMenu: {
        NewView<COptionMenu> menu(new COptionMenu({x, y, x + w, y + h}, this, row.id, first, second));
        menu->setFont(kMenuFont);
        menu->setFontColor(textColor);
        menu->setFontStyle(kBold);
        menu->setHoriAlign(kAlignCenter);
        addMenuEntries(*menu, findDescriptor(row.id).menuEntries);
        control = std::move(menu);
        break;
    }
    case KindGraph: {
        NewView<CFRGRAP> graph(new CFRGRAP({x, y, x + w, y + h}, first, display, this));
        graph->setDbScale(-110, -38, 12);
        graph->setFrequencyRange(20, static_cast<float>(display.getSampleRateHz()) * 0.5f, 4);
        graphView = adopt(std::move(graph));
        return;
    }
    case KindMeter: meterView = adopt(NewView<VUMETER>(new VUMETER(first, x, y, &display))); return;
    default: return;
    }
    control->setValue(value);
    controls[row.id] = adopt(std::move(control));

    if (row.hasValueDisplay) {
        NewView<CParamDisplay> display(new CParamDisplay(
            {x + row.valueDx - 2, y + row.valueDy, x + row.valueDx + w + 2, y + row.valueDy + 11}, nullptr, 0x1));
        display->setHoriAlign(kAlignCenter);
        display->setFont(kValueFont);
        display->setFontColor(textColor);
        display->setBackColor(panelColor);
        display->setFrameColor(panelColor);
        // The display holds the real value, which its format turns into text.
        display->setValue(static_cast<float>(normalizedToReal(value, row.id)));
        display->setStringConvert(row.format);
        valueDisplays[row.id] = adopt(std::move(display));
    }
    if (row.showNameLabel && row.name[0] != '\0') {
        const int32_t left = x + row.nameLabelDx;
        const int32_t top = y + row.nameLabelDy;
        const auto nameWidth = static_cast<int32_t>(10 * std::strlen(row.name));
        NewView<CTextLabel> label(new CTextLabel({left, top, left + nameWidth, top + 13}));
        label->setText(row.name);
        label->setHoriAlign(kAlignCenter);
        label->setFont(kLabelFont);
        label->setFontStyle(kBold);
        label->setFontColor(textColor);
        label->setBackColor(panelColor);
        label->setFrameColor(panelColor);
        nameLabels[row.id] = adopt(std::move(label));
    }
}

void SDEditor::close()
{
    if (windowCounted) display.setWindowOpen(false);
    windowCounted = false;
    discardWindow();
}

void SDEditor::discardWindow()
{
    if (frame != nullptr) {
        // The first editor's timer has the id 0, so whether one runs is told by the interval.
        if (platform::Window* window = frame->getWindow(); window != nullptr && timerInterval != 0)
            window->stopTimer(timerId);
        frame->release();
    }
    timerId = 0;
    timerInterval = 0;
    frame = nullptr;
    graphView = nullptr;
    meterView = nullptr;
    controls.fill(nullptr);
    valueDisplays.fill(nullptr);
    nameLabels.fill(nullptr);
    documentationOpener.reset();
    // A closed editor reports itself closed to the host.
    AEffEditor::close();
}

void SDEditor::timerTick(platform::Window& window, uint32_t)
{
    auto* tickFrame = static_cast<CFrame*>(window.getUserData());
    if (tickFrame == nullptr) return;
    // Only this editor starts this timer, so the frame's editor is an SDEditor.
    if (FrameEditor* editor = tickFrame->getEditor()) static_cast<SDEditor*>(editor)->refreshViews();
}

bool SDEditor::idle()
{
    viewsRefreshed = false;
    if (!isInIdle() && frame != nullptr) frame->idle();
    if (graphView == nullptr) return false;
    // A timer tick in that pump has refreshed the views a moment ago; another pass now would
    // only put the changes of that moment on a present of their own.
    if (!viewsRefreshed) refreshViews();
    // From now on the audio thread feeds the PRE and POST analysers; the timer's refreshes
    // alone do not start it. It stays on after close, as the next open expects it.
    display.wantAnalysers();
    return true;
}

bool SDEditor::isGraphReady() const { return display.analysersWanted(); }

void SDEditor::showParameter(int32_t index, float value)
{
    if (index < 0 || index >= kNumParameters) return;
    pendingValues[index].store(value, std::memory_order_relaxed);
    pendingMarks[index].store(true, std::memory_order_release);
    anyPending.store(true, std::memory_order_release);
}

void SDEditor::setGraphSampleRate(int32_t hz) { pendingSampleRate.store(hz, std::memory_order_release); }

SDEditor::AppliedValues SDEditor::applyPendingValues()
{
    AppliedValues applied;
    if (!anyPending.exchange(false, std::memory_order_acquire)) return applied;
    for (int32_t index = 0; index < kNumParameters; ++index) {
        if (!pendingMarks[index].exchange(false, std::memory_order_acquire)) continue;
        const float value = pendingValues[index].load(std::memory_order_relaxed);
        const auto real = static_cast<float>(normalizedToReal(value, index));
        applied.any = true;
        if (controls[index] != nullptr) controls[index]->setValue(value);
        if (valueDisplays[index] != nullptr) valueDisplays[index]->setValue(real);
        applyToGraph(index, real);
        // The graph reads the analyser switches when it draws.
        if (index == kPreAnalyserParameter || index == kPostAnalyserParameter) applied.switches = true;
    }
    return applied;
}

void SDEditor::applyToGraph(int32_t index, float real)
{
    switch (index) {
    case kSlopeParameter: graphView->setSlope(real); break;
    case kRangeParameter: graphView->setRange(real); break;
    case kShiftParameter: graphView->setShift(real); break;
    default: break;
    }
}

void SDEditor::applyPendingSampleRate()
{
    const int32_t hz = pendingSampleRate.exchange(0, std::memory_order_acquire);
    if (hz != 0) graphView->setGraphSampleRate(hz);
}

void SDEditor::refreshViews()
{
    if (frame == nullptr || graphView == nullptr) return;
    viewsRefreshed = true;
    applyPendingSampleRate();
    const AppliedValues applied = applyPendingValues();
    {
        // The meter and the graph reach the screen together.
        const PresentHold hold(frame->getWindow());
        if (meterView != nullptr) meterView->updateMeter();
        graphView->traceSpectrum(CFRGRAP::Trace::pre);
        graphView->traceSpectrum(CFRGRAP::Trace::post);
        // At most one measurement per tick, however many changes came in since the last.
        if (display.updateResponseGraph()) graphView->traceSpectrum(CFRGRAP::Trace::response);
        // The graph is dirty only when a trace, a scale or the axis changed what it shows.
        if ((applied.switches || graphView->isDirty()) && graphView->getFrame() != nullptr) graphView->redrawCurves();
    }
    // Controls and displays that took a new value draw themselves now; with none, nothing
    // else has changed since the frame's last idle, and a tick at rest costs no walk of the
    // views and no look at the window system. Not while the idle cycle asks the host for
    // idle time, as the host idle call does not.
    if (applied.any && !isInIdle()) frame->idle();
}

void SDEditor::beginEdit(int32_t index)
{
    if (index == kDocumentationParameter) return;
    if (editListener != nullptr)
        editListener->beginEdit(index);
    else
        AEffGUIEditor::beginEdit(index);
}

void SDEditor::endEdit(int32_t index)
{
    if (index == kDocumentationParameter) return;
    if (editListener != nullptr)
        editListener->endEdit(index);
    else
        AEffGUIEditor::endEdit(index);
}

bool SDEditor::requestHostResize(int32_t width, int32_t height)
{
    return editListener != nullptr ? editListener->resizeWindow(width, height)
                                   : AEffGUIEditor::requestHostResize(width, height);
}

void SDEditor::valueChanged(CDrawContext*, CControl* control)
{
    const int32_t tag = control->getTag();
    if (static_cast<uint32_t>(tag) >= static_cast<uint32_t>(kNumParameters)) return;
    const float value = control->getValue();
    if (tag == kDocumentationParameter || tag == kResetParameter) {
        // A held button reports its value on every pass of its tracking loop until it is
        // drawn; the press and the release each act once.
        float& last = tag == kResetParameter ? lastResetValue : lastInfoValue;
        if (value == last) return;
        last = value;
    }
    if (tag == kDocumentationParameter) {
        // The manual opens on the press; the release changes nothing.
        if (value != 0) openDocumentation();
    } else if (editListener != nullptr) {
        editListener->edited(tag, value);
    } else {
        hostEffect()->setParameterFromEditor(tag, value);
    }
    // The control is not marked dirty here: a control notifies again on every pass of its
    // tracking loop while it is dirty. Its new value makes it redraw anyway.
}

void SDEditor::openDocumentation()
{
    if (documentationOpener == nullptr) return;
    const char* library = documentationOpener->libraryPath;
    // A library path that filled its buffer may have been cut short; it names no folder.
    if (std::strlen(library) + 1 >= kModulePathSize) return;
    char path[kDocumentationPathSize];
    // The platform's separator: '/' on Linux, '\' on Windows.
    constexpr auto separator = static_cast<char>(std::filesystem::path::preferred_separator);
    if (documentationPath(library, separator, path)) platform::services().openDocument(path);
}
