#pragma once
// A key as the views receive it: the character, the special keys the toolkit itself acts
// on, and the modifier keys. The editor translates whatever its host passes into it.

#include "framework/GraphicsTypes.h"

#include <cstdint>

namespace VSTGUI {

enum class VirtualKey : uint8_t {
    None,  // a plain character
    Tab,
    Left,
    Up,
    Right,
    Down,
    Other,  // a special key the toolkit does not act on
};

struct KeyCode {
    int32_t character = 0;
    VirtualKey virt = VirtualKey::None;
    MouseButtons modifiers = 0;  // ModShift, ModControl, ModAlt bits
};

}  // namespace VSTGUI
