// The LV2 plug-in's user interface: the equaliser's editor in the X11 window the host
// gives, showing the effect that the host's instance access leads to. The user's edits
// become writes of the control ports, which the audio side applies; the host's changes of
// the ports arrive as port events and move the controls.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

#include "editor/EditListener.h"
#include "editor/SDEditor.h"
#include "effect/ParameterValues.h"
#include "framework/CFrame.h"
#include "plugin/lv2/Lv2Effect.h"
#include "plugin/lv2/PortTable.h"

namespace {

using namespace lv2ports;

// What the host offers, from its feature list; null where it offers nothing.
struct HostFeatures {
    explicit HostFeatures(const LV2_Feature* const* features)
    {
        for (const LV2_Feature* const* feature = features; feature != nullptr && *feature != nullptr; ++feature) {
            const char* uri = (*feature)->URI;
            void* data = (*feature)->data;
            if (std::strcmp(uri, LV2_UI__parent) == 0) parent = data;
            if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0) instance = static_cast<Lv2Effect*>(data);
            if (std::strcmp(uri, LV2_UI__resize) == 0) resize = static_cast<const LV2UI_Resize*>(data);
            if (std::strcmp(uri, LV2_UI__touch) == 0) touch = static_cast<const LV2UI_Touch*>(data);
            if (std::strcmp(uri, LV2_OPTIONS__options) == 0) options = static_cast<const LV2_Options_Option*>(data);
            if (std::strcmp(uri, LV2_URID__map) == 0) map = static_cast<const LV2_URID_Map*>(data);
        }
    }

    void* parent = nullptr;
    Lv2Effect* instance = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2_Options_Option* options = nullptr;
    const LV2_URID_Map* map = nullptr;
};

// The ids of the two names the scale option is told by; they need the host's map.
struct ScaleOption {
    LV2_URID key = 0;
    LV2_URID type = 0;
};

ScaleOption scaleOption(const LV2_URID_Map* map)
{
    if (map == nullptr) return {};
    return {map->map(map->handle, LV2_UI__scaleFactor), map->map(map->handle, LV2_ATOM__Float)};
}

// The host's ui:scaleFactor among options (a list ended by an all-zero entry), when it
// gives one as a float.
std::optional<float> scaleFactorIn(const LV2_Options_Option* options, ScaleOption ids)
{
    if (options == nullptr || ids.key == 0) return std::nullopt;
    std::optional<float> found;
    for (const LV2_Options_Option* option = options; option->key != 0 || option->value != nullptr; ++option) {
        if (option->key != ids.key || option->type != ids.type || option->size != sizeof(float) ||
            option->value == nullptr)
            continue;
        float factor = 0;
        std::memcpy(&factor, option->value, sizeof factor);
        found = factor;
    }
    return found;
}

// One open user interface; the editor closes its window when it goes. The host calls all
// of it on its UI thread, and the editor takes the effect's values across threads as it
// does in every format.
class Lv2Editor final : public EditListener {
public:
    Lv2Editor(AKkk& effect, LV2UI_Write_Function write, LV2UI_Controller controller, const HostFeatures& host)
        : editor(effect, effect), write(write), controller(controller), touch(host.touch), resize(host.resize),
          scaleIds(scaleOption(host.map))
    {
        editor.setEditListener(this);
        // The host's scale, when it gives one, wins over the screen's.
        setOptions(host.options);
    }

    // Opens the window in parent and answers its X11 id, or 0 when none could be made.
    LV2UI_Widget open(void* parent)
    {
        if (!editor.open(parent)) return nullptr;
        ERect* rect = nullptr;
        if (editor.getEditorRect(&rect)) resizeWindow(rect->right - rect->left, rect->bottom - rect->top);
        return reinterpret_cast<LV2UI_Widget>(editor.getFrame()->getWindow()->nativeHandle());
    }

    // The host's options, at instantiation or changed later: an open window follows a new
    // scale at once and asks the host for its room. Answers whether a scale was taken.
    bool setOptions(const LV2_Options_Option* options)
    {
        const std::optional<float> factor = scaleFactorIn(options, scaleIds);
        return factor && editor.setHostScaleFactor(*factor);
    }

    bool resizeWindow(int32_t width, int32_t height) override
    {
        return resize != nullptr && resize->ui_resize(resize->handle, width, height) == 0;
    }

    // The host changed a control port: the control follows at the next refresh. The level
    // port is left alone, as the meter reads the effect's own peak.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
    {
        if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
        if (port < kFirstControlPort || port >= kLevelPort) return;
        float real = 0;
        std::memcpy(&real, buffer, sizeof real);
        // Brought into the row's range as the audio side brings it; NaN changes nothing there.
        if (std::isnan(real)) return;
        const ParamId row = controlPorts[port - kFirstControlPort].row;
        const ControlDescriptor& limits = controlTable[row];
        real = std::clamp(real, static_cast<float>(limits.minValue), static_cast<float>(limits.maxValue));
        editor.showParameter(row, static_cast<float>(realToNormalized(real, row)));
    }

    // The host's idle call: the window's events, its redraws and the analysers' start.
    void idle() { editor.idle(); }

    void beginEdit(int32_t index) override { touchPort(index, true); }
    void endEdit(int32_t index) override { touchPort(index, false); }

    void edited(int32_t index, float value) override
    {
        if (index == kResetParameter) {
            // Reset acts on the press; every port goes back to its default, as one gesture each.
            if (value == 0) return;
            for (const ControlPort& port : controlPorts) {
                const double real = controlTable[port.row].defaultValue;
                touchPort(port.row, true);
                writePort(port.row, static_cast<float>(real), static_cast<float>(realToNormalized(real, port.row)));
                touchPort(port.row, false);
            }
            return;
        }
        // The port carries the real value of what the effect will store.
        const float stored = storedValue(index, value);
        writePort(index, static_cast<float>(normalizedToReal(stored, index)), stored);
    }

private:
    // The editor shows the new value as it does when the effect itself is set.
    void writePort(int32_t index, float real, float normalised)
    {
        const uint32_t port = portOfRow[index];
        if (port == kNoPort) return;
        write(controller, port, sizeof real, 0, &real);
        editor.showParameter(index, normalised);
    }

    void touchPort(int32_t index, bool grabbed)
    {
        if (touch == nullptr || index < 0 || index >= kNumParameters || portOfRow[index] == kNoPort) return;
        touch->touch(touch->handle, portOfRow[index], grabbed);
    }

    SDEditor editor;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Touch* touch;
    const LV2UI_Resize* resize;
    ScaleOption scaleIds;
};

Lv2Editor& ui(LV2UI_Handle handle) { return *static_cast<Lv2Editor*>(handle); }

// Without the host's window or the effect there is nothing to show: no instance, and the
// host shows its own view of the ports.
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    const HostFeatures host(features);
    if (pluginUri == nullptr || std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
    if (host.parent == nullptr || host.instance == nullptr || write == nullptr || widget == nullptr) return nullptr;
    // Nothing may unwind into the host: a failed construction is no instance.
    try {
        auto editor = std::make_unique<Lv2Editor>(host.instance->core(), write, controller, host);
        *widget = editor->open(host.parent);
        if (*widget == nullptr) return nullptr;
        return editor.release();
    } catch (const std::exception&) {
        return nullptr;
    }
}

int idle(LV2UI_Handle handle)
{
    ui(handle).idle();
    return 0;
}

constexpr LV2UI_Idle_Interface kIdleInterface = {idle};

// The host's options changed: the scale is the one the editor takes; it reports nothing.
constexpr LV2_Options_Interface kOptionsInterface = {
    [](LV2_Handle, LV2_Options_Option*) -> uint32_t { return LV2_OPTIONS_ERR_UNKNOWN; },
    [](LV2_Handle handle, const LV2_Options_Option* options) -> uint32_t {
        return ui(handle).setOptions(options) ? LV2_OPTIONS_SUCCESS : LV2_OPTIONS_ERR_UNKNOWN;
    },
};

constexpr LV2UI_Descriptor kDescriptor = {
    kUiUri,
    instantiate,
    [](LV2UI_Handle handle) { delete &ui(handle); },
    [](LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
        ui(handle).portEvent(port, size, format, buffer);
    },
    [](const char* uri) -> const void* {
        if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
        if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &kOptionsInterface;
        return nullptr;
    },
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
