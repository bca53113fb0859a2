// The equaliser's editor. The effect creates it at construction and keeps it for its whole
// life; the host opens its window and closes it again, possibly many times.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/AEffGUIEditor.h"
#include "effect/ControlTable.h"

namespace VSTGUI {
class CBitmap;
class CControl;
class CParamDisplay;
class CTextLabel;
}  // namespace VSTGUI

class AKkk;
class CFRGRAP;
class VUMETER;
struct DocumentationOpener;

class SDEditor : public AEffGUIEditor {
public:
    explicit SDEditor(AKkk* owner);
    ~SDEditor() override;

    // The effect's editor factory: the entry point hands it to the effect, which owns the
    // editor from then on.
    static std::unique_ptr<AEffEditor> create(AKkk& owner);

    // Mirrors a parameter the effect stored into its control, its value display and the
    // graph; ignored while the window is closed. [any thread]
    void showParameter(int32_t index, float value) override;

    // Opens the user documentation beside the library; only while the window is open.
    bool canOpenDocumentation() const { return documentationOpener != nullptr; }
    void openDocumentation();
    CFRGRAP* getGraphView() const { return graphView; }

private:
    CFRGRAP* graphView = nullptr;
    VUMETER* meterView = nullptr;
    DocumentationOpener* documentationOpener = nullptr;
    VSTGUI::CControl* controls[kNumParameters] = {};
    VSTGUI::CParamDisplay* valueDisplays[kNumParameters] = {};
    VSTGUI::CTextLabel* nameLabels[kNumParameters] = {};
    VSTGUI::CBitmap* background = nullptr;
    uint32_t timerId = 0;
    int32_t timerInterval = 0;
};
