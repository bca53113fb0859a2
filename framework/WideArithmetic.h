#pragma once
// Exact (a * b + c) / d for 64-bit operands whose product needs up to 128 bits, in plain
// 64-bit arithmetic, so that 32-bit targets (which have no 128-bit integer) give the
// same bits as 64-bit ones.

#include <cstdint>

namespace VSTGUI {

struct WideQuotient {
    uint64_t quotient = 0;
    uint64_t remainder = 0;
};

// d must not be 0, and the quotient must fit in 64 bits (true whenever a * b + c < d * 2^64).
constexpr WideQuotient mulAddDivide(uint64_t a, uint64_t b, uint64_t c, uint64_t d)
{
    // The 128-bit product from four 32 x 32-bit partial products.
    constexpr uint64_t kLow32 = 0xFFFFFFFFu;
    const uint64_t aLow = a & kLow32, aHigh = a >> 32;
    const uint64_t bLow = b & kLow32, bHigh = b >> 32;
    const uint64_t lowLow = aLow * bLow;
    const uint64_t highLow = aHigh * bLow;
    const uint64_t lowHigh = aLow * bHigh;
    const uint64_t middle = (lowLow >> 32) + (highLow & kLow32) + (lowHigh & kLow32);
    uint64_t low = (middle << 32) | (lowLow & kLow32);
    uint64_t high = aHigh * bHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
    low += c;
    high += low < c ? 1 : 0;

    // Long division, one bit at a time; the running remainder stays below d, and the bit
    // shifted out of it on the way is the carry that the comparison must not lose.
    WideQuotient result;
    uint64_t remainder = 0;
    for (int bit = 127; bit >= 0; --bit) {
        const bool carry = (remainder >> 63) != 0;
        const uint64_t next = bit >= 64 ? (high >> (bit - 64)) & 1 : (low >> bit) & 1;
        remainder = (remainder << 1) | next;
        const bool subtract = carry || remainder >= d;
        if (subtract) remainder -= d;
        if (bit < 64 && subtract) result.quotient |= uint64_t{1} << bit;
    }
    result.remainder = remainder;
    return result;
}

}  // namespace VSTGUI
