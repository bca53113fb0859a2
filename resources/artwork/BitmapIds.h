// The resource ids of the skin's bitmaps, named once: the artwork generator draws them, the
// build embeds them (resources/artwork/CMakeLists.txt reads the numbers from this file),
// and the control table, the editor and the tools load them by these names.
#pragma once

#include <cstdint>

namespace bitmapid {

inline constexpr std::int32_t skin = 11030;
inline constexpr std::int32_t graph = 131;
inline constexpr std::int32_t meter = 133;
inline constexpr std::int32_t pre = 11004;
inline constexpr std::int32_t post = 11005;
inline constexpr std::int32_t bypass = 11006;
inline constexpr std::int32_t reset = 11007;
inline constexpr std::int32_t balance = 11010;
inline constexpr std::int32_t hiShelf = 11011;
inline constexpr std::int32_t lowCut = 11012;
inline constexpr std::int32_t lowShelf = 11013;
inline constexpr std::int32_t hiCut = 11014;
inline constexpr std::int32_t peak = 11015;
inline constexpr std::int32_t frequencyKnob = 11020;
inline constexpr std::int32_t gainKnob = 11021;
inline constexpr std::int32_t outputKnob = 11022;
inline constexpr std::int32_t analyserKnob = 11024;
inline constexpr std::int32_t info = 11043;

}  // namespace bitmapid
