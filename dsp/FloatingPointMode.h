#pragma once

// Flush-to-zero and denormals-are-zero for the lifetime of the object, restoring the
// caller's mode afterwards: the audio path never produces or reads subnormal numbers,
// which are slow on x86 and inaudible, and the host's own mode is left as it was.
// Without SSE (a 32-bit x87 build) there is no such mode; the object does nothing and the
// filters' history guard remains the only protection.

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>

class ScopedFlushDenormals {
public:
    ScopedFlushDenormals() : saved(_mm_getcsr()) { _mm_setcsr(saved | flushToZero | denormalsAreZero); }
    ~ScopedFlushDenormals() { _mm_setcsr(saved); }
    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;

private:
    static constexpr unsigned flushToZero = 0x8000;
    static constexpr unsigned denormalsAreZero = 0x0040;
    unsigned saved;
};

#else

class ScopedFlushDenormals {
public:
    // User-provided, so that a scope holding one is not taken for an unused variable.
    ScopedFlushDenormals() {}
    ~ScopedFlushDenormals() {}
    ScopedFlushDenormals(const ScopedFlushDenormals&) = delete;
    ScopedFlushDenormals& operator=(const ScopedFlushDenormals&) = delete;
};

#endif
