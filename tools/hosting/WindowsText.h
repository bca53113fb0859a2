// Text for the wide Windows calls. Paths and command lines are in the system's code page,
// as main's arguments reach it.
#pragma once

#include <windows.h>

#include <string>

namespace hosting {

inline std::wstring widened(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

}  // namespace hosting
