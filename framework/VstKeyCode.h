#pragma once
// The host's key record as the editor hands it to the frame: character, virtual key and
// modifier bits, laid out as the host interface passes it.

#include <cstdint>

namespace VSTGUI {

struct VstKeyCode {
    int32_t character = 0;
    unsigned char virt = 0;      // one of the VKEY_ codes, 0 for a plain character
    unsigned char modifier = 0;  // MODIFIER_ bits
};

// The virtual keys and modifier bits the framework reacts to.
inline constexpr unsigned char VKEY_TAB = 2;
inline constexpr unsigned char VKEY_LEFT = 11;
inline constexpr unsigned char VKEY_UP = 12;
inline constexpr unsigned char VKEY_RIGHT = 13;
inline constexpr unsigned char VKEY_DOWN = 14;

inline constexpr unsigned char MODIFIER_SHIFT = 1;

// What key handlers answer for a key they leave to others.
inline constexpr int32_t kKeyNotHandled = -1;

}  // namespace VSTGUI
