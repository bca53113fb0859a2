#pragma once
// The font files compiled into the library by resources/fonts/CMakeLists.txt.

#include <cstddef>

namespace tolvan::embedded {

extern const unsigned char liberationSansRegular[];
extern const std::size_t liberationSansRegularSize;
extern const unsigned char liberationSansBold[];
extern const std::size_t liberationSansBoldSize;

}  // namespace tolvan::embedded
