#include "tools/editor-snapshot/EditorSnapshot.h"

#include <array>
#include <memory>
#include <random>

#include "editor/SDEditor.h"
#include "effect/AKkk.h"
#include "tools/hosting/RecordingHost.h"
#include "effect/PluginInterface.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"

namespace editorsnapshot {

namespace {

// Block time at 44.1 kHz, rounded up to whole milliseconds of the virtual clock.
constexpr uint32_t kBlockMilliseconds = 12;

// The skin's size in logical pixels.
constexpr int32_t kEditorWidth = 754;
constexpr int32_t kEditorHeight = 374;

// The rate a new effect runs at; any other is set before the editor opens.
constexpr int32_t kEffectStartRate = 44100;

}  // namespace

Scene defaultScene() { return {}; }

Scene busyScene()
{
    Scene scene;
    scene.program = 2;
    scene.parameters = {
        {4, 1.0f},    // POST analyser on
        {5, 0.6f},    // SLOPE
        {6, 0.4f},    // RANGE
        {11, 1.0f},   // low cut on
        {13, 1.0f},   // Peak1 on
        {21, 0.35f},  // Peak1 frequency
        {28, 0.85f},  // Peak1 gain
        {15, 1.0f},   // Peak3 on
        {23, 0.7f},   // Peak3 frequency
        {30, 0.2f},   // Peak3 gain
    };
    scene.noiseBlocks = 160;
    scene.seed = 7;
    return scene;
}

VSTGUI::PixelSurface renderEditor(const Scene& scene)
{
    VSTGUI::headless::reset();
    auto effect = std::make_unique<AKkk>(hosting::quietHost, &SDEditor::create);
    AEffect* record = effect->getAeffect();
    if (scene.sampleRate != kEffectStartRate) {
        record->dispatcher(record, effMainsChanged, 0, 0, nullptr, 0);
        record->dispatcher(record, effSetSampleRate, 0, 0, nullptr, static_cast<float>(scene.sampleRate));
        record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0);
    }
    record->dispatcher(record, effSetProgram, 0, scene.program, nullptr, 0);
    for (const auto& [index, value] : scene.parameters) record->setParameter(record, index, value);

    const int32_t width = VSTGUI::toDevice(kEditorWidth, scene.scale);
    const int32_t height = VSTGUI::toDevice(kEditorHeight, scene.scale);
    VSTGUI::platform::ParentWindow host = VSTGUI::headless::createHostWindow({100, 100, 100 + width, 100 + height});
    // The host announces its scale before opening, so the window opens at its final size.
    record->dispatcher(record, effVendorSpecific, fourCharacters("PreS"), fourCharacters("AeCs"), nullptr,
                       static_cast<float>(VSTGUI::factor(scene.scale)));
    record->dispatcher(record, effEditOpen, 0, 0, host, 0);
    auto* editor = static_cast<SDEditor*>(effect->getEditor());
    VSTGUI::platform::Window* window = editor->getFrame()->getWindow();
    // The host's first paint of the new window.
    window->invalidate({0, 0, width, height});
    VSTGUI::headless::paint(*window);
    record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);

    std::mt19937 random(scene.seed);
    std::uniform_real_distribution<float> sample(-scene.amplitude, scene.amplitude);
    std::array<float, kBlockSize> inLeft{}, inRight{}, outLeft{}, outRight{};
    float* inputs[] = {inLeft.data(), inRight.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    // The caller's audio, with the virtual clock kept in step with its sample rate.
    double played = 0;
    uint32_t elapsed = 0;
    for (int32_t n; scene.source && (n = scene.source(inLeft.data(), inRight.data())) > 0;) {
        record->processReplacing(record, inputs, outputs, n);
        played += 1000.0 * n / scene.sampleRate;
        VSTGUI::headless::runMessages(static_cast<uint32_t>(played) - elapsed);
        elapsed = static_cast<uint32_t>(played);
    }
    for (int32_t block = 0; block < scene.noiseBlocks; ++block) {
        for (int32_t i = 0; i < kBlockSize; ++i) {
            inLeft[i] = sample(random);
            inRight[i] = sample(random);
        }
        record->processReplacing(record, inputs, outputs, kBlockSize);
        VSTGUI::headless::runMessages(kBlockMilliseconds);
    }
    // The noise scenes give the editor one more tick to show their last blocks; a caller's
    // audio ends the picture where the audio ends, so its meter has fallen exactly as far as
    // the sound's own length lets it.
    if (!scene.source) VSTGUI::headless::runMessages(SDEditor::kTimerInterval);
    record->dispatcher(record, effEditIdle, 0, 0, nullptr, 0);
    VSTGUI::headless::paint(*window);
    VSTGUI::PixelSurface pixels = VSTGUI::headless::windowPixels(*window);

    record->dispatcher(record, effEditClose, 0, 0, nullptr, 0);
    VSTGUI::headless::destroyHostWindow(host);
    return pixels;
}

}  // namespace editorsnapshot
