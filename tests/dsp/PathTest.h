// What the tests of the chain's fast paths share: a fixture that runs a test once per
// path and skips the paths this processor lacks, and bit patterns to compare outputs by.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dsp/StereoCascade.h"

namespace pathtest {

class PathTest : public ::testing::TestWithParam<CascadePath> {
protected:
    void SetUp() override
    {
        if (!cascadePathAvailable(GetParam()))
            GTEST_SKIP() << "this processor lacks the path's instructions; it is not exercised here";
    }
};

inline const auto everyPath = ::testing::Values(CascadePath::Sse2, CascadePath::Avx, CascadePath::Avx512);

inline std::string pathName(const ::testing::TestParamInfo<CascadePath>& info)
{
    switch (info.param) {
    case CascadePath::Sse2: return "Sse2";
    case CascadePath::Avx: return "Avx";
    case CascadePath::Avx512: return "Avx512";
    }
    return "unknown";
}

// Bit patterns, so that NaNs and signed zeros compare too.
inline std::vector<uint32_t> bitsOf(const std::vector<float>& v)
{
    std::vector<uint32_t> b(v.size());
    std::memcpy(b.data(), v.data(), v.size() * sizeof(float));
    return b;
}

}  // namespace pathtest
