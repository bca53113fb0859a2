// One instance of the LV2 plug-in's audio side: the effect, fed from the control ports.
// The user interface reaches the same object through the host's instance access and
// shows the effect through its display, so both binaries of the bundle, built together,
// share this declaration.
#pragma once

#include <array>
#include <cstdint>

#include "effect/AKkk.h"
#include "plugin/lv2/PortTable.h"

// The host constructs, activates and deletes an instance on one thread and connects and
// runs it on its audio thread, never on two threads at once for one instance, so the
// members here need no hand-off. run sets parameters on the audio thread, which the
// effect's parameter path allows.
class Lv2Effect {
public:
    explicit Lv2Effect(double rate);

    // [audio thread]
    void connect(uint32_t port, void* data);
    // The next block starts afresh, with the settings the ports hold.
    void activate();
    // [audio thread]
    void run(uint32_t count);

    // The effect, for the user interface: it shows it through its display and changes
    // nothing but through the ports. [UI thread]
    AKkk& core() { return effect; }

private:
    void applyChangedPorts();

    AKkk effect{nullptr};
    std::array<float*, lv2ports::kFirstControlPort> audio{};
    std::array<const float*, lv2ports::kNumControlPorts> controls{};
    // The real value each control port had when it was last applied.
    std::array<float, lv2ports::kNumControlPorts> applied{};
    float* level = nullptr;
};
