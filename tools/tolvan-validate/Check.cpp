#include "tools/tolvan-validate/Check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace validate {
namespace {

// More than this many failures of one check say nothing new.
constexpr int32_t kPrintedFailures = 12;

}  // namespace

Sanitizer builtWithSanitizer()
{
#if defined(__SANITIZE_THREAD__)
    return Sanitizer::Thread;
#elif defined(__SANITIZE_ADDRESS__)
    return Sanitizer::Address;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
    return Sanitizer::Thread;
#elif __has_feature(address_sanitizer)
    return Sanitizer::Address;
#else
    return Sanitizer::None;
#endif
#else
    return Sanitizer::None;
#endif
}

int32_t scaled(int32_t plain)
{
    switch (builtWithSanitizer()) {
    case Sanitizer::Address: return std::max(1, plain / 4);
    case Sanitizer::Thread: return std::max(1, plain / 10);
    case Sanitizer::None: break;
    }
    return plain;
}

bool CheckContext::expect(bool ok, const std::string& what)
{
    if (ok) return true;
    if (++failures <= kPrintedFailures) std::printf("    FAIL: %s\n", what.c_str());
    if (failures == kPrintedFailures + 1) std::printf("    (further failures not shown)\n");
    std::fflush(stdout);
    return false;
}

void CheckContext::note(const std::string& what)
{
    std::printf("    note: %s\n", what.c_str());
    std::fflush(stdout);
}

StereoBuffers::StereoBuffers(int32_t frames)
{
    for (int32_t c = 0; c < 2; ++c) {
        in[c].assign(static_cast<std::size_t>(frames), 0.0f);
        out[c].assign(static_cast<std::size_t>(frames), 0.0f);
        inputs[c] = in[c].data();
        outputs[c] = out[c].data();
    }
}

void fillNoise(std::vector<float> (&channels)[2], std::mt19937& rng, float amplitude)
{
    std::uniform_real_distribution<float> sample(-amplitude, amplitude);
    for (std::vector<float>& channel : channels) {
        for (float& x : channel) x = sample(rng);
    }
}

std::string sampleProblem(std::span<const float> samples, float bound)
{
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const float x = samples[i];
        const char* what = nullptr;
        if (!std::isfinite(x)) {
            what = "non-finite";
        } else if (x != 0 && std::fabs(x) < std::numeric_limits<float>::min()) {
            what = "subnormal";
        } else if (std::fabs(x) > bound) {
            what = "out of bounds";
        }
        if (what != nullptr) return std::string(what) + " sample " + std::to_string(x) + " at " + std::to_string(i);
    }
    return {};
}

CanaryBuffer::CanaryBuffer(int32_t size) : size(size), bytes(static_cast<std::size_t>(size + kCanarySize), kCanary)
{
    std::memset(bytes.data(), 0, static_cast<std::size_t>(size));
}

std::string CanaryBuffer::problem() const
{
    for (int32_t i = size; i < size + kCanarySize; ++i) {
        if (bytes[static_cast<std::size_t>(i)] != kCanary) {
            return "wrote " + std::to_string(i - size + 1) + "+ bytes past a " + std::to_string(size) + "-byte buffer";
        }
    }
    if (std::memchr(bytes.data(), 0, static_cast<std::size_t>(size)) == nullptr) {
        return "text not terminated inside its " + std::to_string(size) + "-byte buffer";
    }
    return {};
}

int32_t automatedIndex(std::mt19937& rng, int32_t numParams)
{
    constexpr int32_t kFirstAutomated = 3;
    return kFirstAutomated + static_cast<int32_t>(rng() % static_cast<uint32_t>(numParams - kFirstAutomated));
}

EditorParent::EditorParent(const CheckContext& context) : standIn(64, 0)
{
    std::string reason;
    if (context.realWindows) real = VSTGUI::platform::HostWindow::create(754, 374, reason);
}

void* EditorParent::handle() const { return real != nullptr ? real->handle() : const_cast<char*>(standIn.data()); }

void EditorParent::pumpEvents() const
{
    if (real != nullptr) real->pumpEvents();
}

std::span<const float> hostileValues()
{
    static const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                                   -std::numeric_limits<float>::quiet_NaN(),
                                   std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity(),
                                   -0.0f,
                                   1e30f,
                                   -1e30f,
                                   std::numeric_limits<float>::denorm_min(),
                                   -std::numeric_limits<float>::denorm_min(),
                                   1e-40f,
                                   std::numeric_limits<float>::max(),
                                   std::numeric_limits<float>::lowest(),
                                   1.0000001f,
                                   2.0f,
                                   -1.0f};
    return values;
}

}  // namespace validate
