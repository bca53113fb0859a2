// Levels 8 and 9: what real hosts do that a tidy host would not, and a session saved
// and restored through parameters and program names.

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "tools/tolvan-validate/Check.h"

namespace validate {
namespace {

// The editor's skin at 1x, 1.5x and 2x: hosts on dense screens get the larger ones.
constexpr std::pair<int32_t, int32_t> kEditorSizes[] = {{754, 374}, {1131, 561}, {1508, 748}};

bool outputSound(CheckContext& context, const StereoBuffers& buffers, int32_t frames, const std::string& where)
{
    bool sound = true;
    for (const std::vector<float>& channel : buffers.out) {
        const std::string problem =
            sampleProblem(std::span<const float>(channel.data(), static_cast<std::size_t>(frames)), 2.0e6f);
        sound = context.expect(problem.empty(), where + ": " + problem) && sound;
    }
    return sound;
}

void hostQuirks(CheckContext& context)
{
    StereoBuffers buffers(8192);
    fillNoise(buffers.in, context.rng, 0.5f);
    {
        // Audio before effOpen and resume, and after suspend.
        HostedEffect effect(context.library);
        if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
        effect.process(buffers.inputs, buffers.outputs, 256);
        outputSound(context, buffers, 256, "audio before resume");
        effect.start(44100, 64);
        effect.suspend();
        effect.process(buffers.inputs, buffers.outputs, 256);
        outputSound(context, buffers, 256, "audio after suspend");
        // A block far larger than the size announced.
        effect.resume();
        effect.process(buffers.inputs, buffers.outputs, 8192);
        outputSound(context, buffers, 8192, "a block larger than announced");
        // Counts of nothing and less, and null buffers, change nothing and break nothing.
        std::vector<float> before = buffers.out[0];
        effect.process(buffers.inputs, buffers.outputs, 0);
        effect.process(buffers.inputs, buffers.outputs, -5);
        float* noChannels[2] = {nullptr, nullptr};
        effect.process(noChannels, buffers.outputs, 64);
        effect.process(buffers.inputs, noChannels, 64);
        effect.process(nullptr, buffers.outputs, 64);
        effect.process(buffers.inputs, nullptr, 64);
        context.expect(buffers.out[0] == before, "a block of no samples or no buffers wrote output");
        // Rates changed between blocks, some of them nonsense.
        for (float rate : {96000.0f, 8000.0f, 0.0f, -44100.0f, 1e12f, 22050.0f, 384000.0f}) {
            effect.setSampleRate(rate);
            effect.process(buffers.inputs, buffers.outputs, 512);
            outputSound(context, buffers, 512, "after a rate of " + std::to_string(rate));
        }
        effect.setBlockSize(-1);
        effect.setBlockSize(0);
        // Programs a host should not ask for leave the current one.
        effect.setProgram(5);
        effect.setProgram(8);
        effect.setProgram(-1);
        context.expect(effect.program() == 5, "effSetProgram out of range changed the program");
    }
    {
        // Editor calls out of order: idle and close with nothing open, open twice, and
        // the effect closed with its editor still open.
        HostedEffect effect(context.library);
        effect.start(44100, 512);
        const EditorParent parent(context);
        effect.editIdle();
        effect.editClose();
        ERect* rect = nullptr;
        if (effect.dispatch(effEditGetRect, 0, 0, &rect) != 0) {
            // The skin at one of the editor's scales, as the screen asks for it.
            const bool skinSized =
                rect != nullptr && std::any_of(std::begin(kEditorSizes), std::end(kEditorSizes), [rect](auto size) {
                    return rect->right - rect->left == size.first && rect->bottom - rect->top == size.second;
                });
            context.expect(skinSized, "the editor rectangle is not 754 x 374, 1131 x 561 or 1508 x 748");
        }
        effect.editOpen(parent.handle());
        effect.editOpen(parent.handle());
        effect.editIdle();
        effect.process(buffers.inputs, buffers.outputs, 512);
        outputSound(context, buffers, 512, "audio with the editor open");
        effect.editClose();
        effect.editClose();
        effect.editOpen(parent.handle());
        context.expect(effect.close() == 1, "effClose with the editor open does not answer 1");
    }
}

struct Session {
    std::vector<std::vector<float>> values;  // per program
    std::vector<std::string> names;
    intptr_t current = 0;
};

// What a host stores of an effect without chunks: every program's values and name.
Session saveSession(HostedEffect& effect)
{
    Session session;
    session.current = effect.program();
    const int32_t numPrograms = effect.get()->numPrograms;
    for (int32_t program = 0; program < numPrograms; ++program) {
        effect.setProgram(program);
        std::vector<float> values;
        for (int32_t index = 0; index < effect.get()->numParams; ++index) values.push_back(effect.get(index));
        session.values.push_back(values);
        char name[kProgramNameSize] = {};
        effect.dispatch(effGetProgramName, 0, 0, name);
        session.names.emplace_back(name);
    }
    effect.setProgram(session.current);
    return session;
}

void restoreSession(HostedEffect& effect, const Session& session)
{
    for (std::size_t program = 0; program < session.values.size(); ++program) {
        effect.setProgram(static_cast<intptr_t>(program));
        std::string name = session.names[program];
        effect.dispatch(effSetProgramName, 0, 0, name.data());
        for (std::size_t index = 0; index < session.values[program].size(); ++index) {
            // Reset and the manual are buttons, not state.
            if (index == 2 || index == 8) continue;
            effect.set(static_cast<int32_t>(index), session.values[program][index]);
        }
    }
    effect.setProgram(session.current);
}

// A session saved from one effect and restored into a fresh one sounds the same.
void sessionRestore(CheckContext& context)
{
    HostedEffect original(context.library);
    if (!context.expect(original.valid(), "the entry point gave no effect")) return;
    original.start(48000, 512);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int32_t program = 0; program < original.get()->numPrograms; ++program) {
        original.setProgram(program);
        std::string name = "Take " + std::to_string(program * 7) + " with a long name";
        original.dispatch(effSetProgramName, 0, 0, name.data());
        for (int32_t index = 9; index < original.get()->numParams; ++index) original.set(index, value(context.rng));
        original.set(9, 1.0f);
    }
    original.setProgram(3);
    const Session session = saveSession(original);

    HostedEffect restored(context.library);
    restored.start(48000, 512);
    restoreSession(restored, session);
    const Session again = saveSession(restored);
    context.expect(again.names == session.names, "program names do not survive a save and restore");
    context.expect(again.values == session.values, "parameter values do not survive a save and restore");
    context.expect(again.current == session.current, "the current program does not survive a save and restore");

    StereoBuffers a(512), b(512);
    for (int32_t block = 0; block < 16; ++block) {
        fillNoise(a.in, context.rng, 0.5f);
        b.in[0] = a.in[0];
        b.in[1] = a.in[1];
        original.process(a.inputs, a.outputs, 512);
        restored.process(b.inputs, b.outputs, 512);
        if (!context.expect(a.out[0] == b.out[0] && a.out[1] == b.out[1],
                            "the restored effect sounds different, block " + std::to_string(block))) {
            return;
        }
    }
}

constexpr Check checks[] = {
    {"host-quirks", 8, hostQuirks},
    {"session-restore", 9, sessionRestore},
};

}  // namespace

std::span<const Check> hostQuirkChecks() { return checks; }

}  // namespace validate
