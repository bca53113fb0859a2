// The host's key record, as the host interface passes it with the editor's key opcodes:
// character, virtual key and modifier bits. The editor hands it on to the frame.
#pragma once

#include <cstdint>

struct VstKeyCode {
    int32_t character = 0;
    unsigned char virt = 0;      // one of the VKEY_ codes, 0 for a plain character
    unsigned char modifier = 0;  // MODIFIER_ bits
};

// The host's virtual keys and modifier bits that the editor reacts to.
inline constexpr unsigned char VKEY_TAB = 2;
inline constexpr unsigned char VKEY_LEFT = 11;
inline constexpr unsigned char VKEY_UP = 12;
inline constexpr unsigned char VKEY_RIGHT = 13;
inline constexpr unsigned char VKEY_DOWN = 14;

inline constexpr unsigned char MODIFIER_SHIFT = 1;
