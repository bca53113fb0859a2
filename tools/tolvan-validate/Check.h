// A named, seeded check of the validator and what every check is given to run with.
#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "framework/platform/HostWindow.h"
#include "tools/tolvan-validate/Plugin.h"

namespace validate {

// The sanitizer the validator (and so the plug-in it loads) was built with; the
// heavier checks scale their counts down to stay inside the time a CI run allows.
enum class Sanitizer { None, Address, Thread };
Sanitizer builtWithSanitizer();
// plain, a quarter of it under AddressSanitizer, a tenth under ThreadSanitizer, at least 1.
int32_t scaled(int32_t plain);

// What a running check reports into. Failures are printed as they happen (the first
// few of each check) and make the check's process exit non-zero.
class CheckContext {
public:
    CheckContext(const PluginLibrary& library, uint32_t seed, bool realWindows)
        : library(library), seed(seed), realWindows(realWindows), rng(seed)
    {
    }

    // Records a failure when ok is false; answers ok.
    bool expect(bool ok, const std::string& what);
    // A figure for the report, printed whether the check passes or not.
    void note(const std::string& what);
    int32_t failureCount() const { return failures; }

    const PluginLibrary& library;
    const uint32_t seed;
    // Whether editors get real windows of the window system this run (see EditorParent).
    const bool realWindows;
    std::mt19937 rng;

private:
    int32_t failures = 0;
};

using CheckFunction = void (*)(CheckContext& context);

struct Check {
    const char* name;
    int32_t level;
    CheckFunction run;
};

// Each file of checks lists its own.
std::span<const Check> recordChecks();
std::span<const Check> parameterChecks();
std::span<const Check> audioChecks();
std::span<const Check> threadChecks();
std::span<const Check> lifecycleChecks();
std::span<const Check> editorChecks();
std::span<const Check> callSequenceChecks();
std::span<const Check> hostQuirkChecks();

// --- helpers shared by the checks ---

// A stereo block: separate input and output channels, in-place use passes inputs twice.
struct StereoBuffers {
    explicit StereoBuffers(int32_t frames);
    std::vector<float> in[2];
    std::vector<float> out[2];
    float* inputs[2];
    float* outputs[2];
};

// Fills both channels with seeded noise in -amplitude..amplitude.
void fillNoise(std::vector<float> (&channels)[2], std::mt19937& rng, float amplitude = 1.0f);

// The first problem in a block of output: a non-finite or subnormal sample, or one
// whose size is beyond bound; empty when there is none.
std::string sampleProblem(std::span<const float> samples, float bound);

// A host text buffer of size bytes followed by a canary the plug-in must not touch.
class CanaryBuffer {
public:
    explicit CanaryBuffer(int32_t size);
    char* data() { return bytes.data(); }
    // Empty when the canary is intact and the text ends inside the buffer.
    std::string problem() const;

private:
    static constexpr int32_t kCanarySize = 64;
    static constexpr char kCanary = static_cast<char>(0xA5);
    int32_t size;
    std::vector<char> bytes;
};

// The window a check hands effEditOpen, made on the calling thread, which then owns the
// editor as a host's user-interface thread does. When the run has real windows it is a
// top-level window of the window system; otherwise, or should one not be made, it is a
// stand-in that no window system knows (what a confused host passes), which the editor
// must refuse or survive.
class EditorParent {
public:
    explicit EditorParent(const CheckContext& context);
    void* handle() const;
    // Null for the stand-in.
    VSTGUI::platform::HostWindow* window() const { return real.get(); }
    // Handles the host window's events, as a host does between idle calls.
    void pumpEvents() const;

private:
    std::unique_ptr<VSTGUI::platform::HostWindow> real;
    std::vector<char> standIn;
};

// A parameter a host automates, drawn at random: everything from PRE on, so never the
// manual's button.
int32_t automatedIndex(std::mt19937& rng, int32_t numParams);

// Some values no parameter may turn into broken audio.
std::span<const float> hostileValues();

// The on/off parameters: PRE, POST, the local bypass and the eight band switches. Each is
// on from 0.5 up and reads back as its state, 0 or 1.
constexpr bool isSwitch(int32_t index)
{
    return index == 3 || index == 4 || index == 9 || (index >= 11 && index <= 18);
}

}  // namespace validate
