// How much of the validator's memory is resident: what the lifecycle checks watch for
// growth. One implementation per system: ResidentMemoryLinux.cpp, ResidentMemoryWindows.cpp.
#pragma once

namespace validate {

// [any thread] The process's resident set (its working set on Windows) in bytes, 0 when
// the system does not say.
double residentBytes();

}  // namespace validate
