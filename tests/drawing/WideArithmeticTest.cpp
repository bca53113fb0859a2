// The line walk's start point is found with 64-bit arithmetic only, so that 32-bit builds
// draw the same pixels. The reference here is the compiler's own 128-bit integer, which
// only 64-bit targets have.

#include "framework/WideArithmetic.h"

#include <gtest/gtest.h>

#include <random>

namespace VSTGUI {
namespace {

#if defined(__SIZEOF_INT128__)
void expectSameAsWideInteger(uint64_t a, uint64_t b, uint64_t c, uint64_t d)
{
    const unsigned __int128 numerator = static_cast<unsigned __int128>(a) * b + c;
    const WideQuotient result = mulAddDivide(a, b, c, d);
    EXPECT_EQ(result.quotient, static_cast<uint64_t>(numerator / d)) << a << " * " << b << " + " << c << " / " << d;
    EXPECT_EQ(result.remainder, static_cast<uint64_t>(numerator % d)) << a << " * " << b << " + " << c << " / " << d;
}

TEST(WideArithmetic, MatchesTheCompilersWideIntegerOnLineWalkOperands)
{
    // The operands of a line between 33-bit coordinates: 2 * first, rise, steps, 2 * steps,
    // with first and rise at most steps.
    std::mt19937_64 random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t steps = 1 + random() % (uint64_t{1} << 34);
        const uint64_t first = random() % (steps + 1);
        const uint64_t rise = random() % (steps + 1);
        expectSameAsWideInteger(2 * first, rise, steps, 2 * steps);
    }
}

TEST(WideArithmetic, MatchesAtCarriesAndTheWidestOperands)
{
    constexpr uint64_t kMax = ~uint64_t{0};
    expectSameAsWideInteger(kMax, kMax - 1, kMax, kMax);      // the largest quotient that fits
    expectSameAsWideInteger(kMax, 1, kMax, 2);                // the addition carries into the high word
    expectSameAsWideInteger(0xFFFFFFFFu, 0xFFFFFFFFu, 0, 3);  // partial products at their limit
    expectSameAsWideInteger(uint64_t{1} << 63, 3, 5, (uint64_t{1} << 63) + 1);  // remainder above 2^63
    expectSameAsWideInteger(0, 12345, 7, 1);
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t d = random() | 1;
        const uint64_t a = random();
        const uint64_t b = random() % d;  // keeps the quotient within 64 bits
        expectSameAsWideInteger(a, b, random() % d, d);
    }
}
#endif

TEST(WideArithmetic, SmallValuesAreExactOnEveryTarget)
{
    constexpr WideQuotient result = mulAddDivide(7, 9, 5, 4);
    static_assert(result.quotient == 17 && result.remainder == 0);
    EXPECT_EQ(mulAddDivide(1000000007, 998244353, 11, 97).remainder, (1000000007ull * 998244353ull + 11) % 97);
}

}  // namespace
}  // namespace VSTGUI
