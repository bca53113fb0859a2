// Level 6: the editor in a host's real window, through the entry point only: it fills the
// window it is given with one child of the size it announced, keeps going while audio and
// automation run, and leaves nothing behind when closed, when its effect is closed first,
// or when the host destroys its own window first.

#include <chrono>
#include <thread>

#include "tools/tolvan-validate/Check.h"
#include "tools/tolvan-validate/DeviceAudio.h"

namespace validate {
namespace {

using VSTGUI::platform::HostWindow;

// A host's idle calls come at about 40 a second.
constexpr auto kIdleInterval = std::chrono::milliseconds(25);

struct EditorSize {
    int32_t width = 0;
    int32_t height = 0;
};

EditorSize announcedSize(HostedEffect& effect)
{
    const ERect* rect = effect.editRect();
    if (rect == nullptr) return {};
    return {rect->right - rect->left, rect->bottom - rect->top};
}

std::string windowsInside(int32_t count)
{
    return "the host's window holds " + std::to_string(count) + (count == 1 ? " window" : " windows");
}

// The plug-in talks to the window system over a connection of its own, which need not be
// served before the host's: its window may appear or go a moment after its call returned.
int32_t settledChildCount(const HostWindow& window, int32_t expected)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int32_t count = window.childCount();
    while (count != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        count = window.childCount();
    }
    return count;
}

// What a host checks after effEditOpen: one child of the announced size, nothing more.
bool expectOneChild(CheckContext& context, const HostWindow& window, EditorSize size, const std::string& when)
{
    const int32_t children = settledChildCount(window, 1);
    if (!context.expect(children == 1, when + ": " + windowsInside(children))) return false;
    int32_t width = 0, height = 0;
    return context.expect(window.childSize(width, height) && width == size.width && height == size.height,
                          when + ": the editor's window is " + std::to_string(width) + " x " + std::to_string(height) +
                              ", not the announced " + std::to_string(size.width) + " x " +
                              std::to_string(size.height));
}

bool expectNoChild(CheckContext& context, const HostWindow& window, const std::string& when)
{
    const int32_t children = settledChildCount(window, 0);
    return context.expect(children == 0, when + ": " + windowsInside(children));
}

// Idle calls at a host's pace, with the host's own events handled between them.
void idleFor(HostedEffect& effect, const EditorParent& parent, int32_t calls)
{
    for (int32_t i = 0; i < calls; ++i) {
        effect.editIdle();
        parent.pumpEvents();
        std::this_thread::sleep_for(kIdleInterval);
    }
}

void editorInWindow(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    effect.start(44100, 128);
    const EditorSize size = announcedSize(effect);
    if (!context.expect(size.width > 0 && size.height > 0, "effEditGetRect gives no size")) return;

    const EditorParent parent(context);
    if (parent.window() == nullptr) {
        const intptr_t answer = effect.editOpen(parent.handle());
        effect.editIdle();
        effect.editClose();
        context.note("no host window (run with --window under a window system): a stand-in parent was answered " +
                     std::to_string(answer));
        return;
    }
    const HostWindow& window = *parent.window();
    {
        const DeviceAudio audio(effect, 44100, 128, context.seed + 1, true);
        if (!context.expect(effect.editOpen(parent.handle()) == 1, "effEditOpen in a real window does not answer 1"))
            return;
        expectOneChild(context, window, size, "after effEditOpen");
        // A second of a host's idle calls, the host's own parameter changes among them.
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int32_t second = 0; second < 4; ++second) {
            idleFor(effect, parent, 10);
            effect.set(28, value(context.rng));
            effect.setProgram(static_cast<intptr_t>(context.rng() % 8));
        }
        expectOneChild(context, window, size, "after a second of idle calls");
        effect.editClose();
        expectNoChild(context, window, "after effEditClose");

        // Opened and closed again and again, as a user clicks the host's editor button.
        const int32_t reopenings = scaled(100);
        for (int32_t i = 0; i < reopenings; ++i) {
            effect.editOpen(parent.handle());
            effect.editIdle();
            parent.pumpEvents();
            const bool shown = expectOneChild(context, window, size, "reopening " + std::to_string(i));
            effect.editClose();
            if (!shown || !expectNoChild(context, window, "closing again " + std::to_string(i))) break;
        }
        context.note(std::to_string(reopenings) + " reopenings in the host's " + window.describe());
    }

    // Two effects' editors side by side, each in a host window of its own.
    {
        HostedEffect other(context.library);
        other.start(44100, 128);
        const EditorParent otherParent(context);
        if (context.expect(otherParent.window() != nullptr, "no second host window")) {
            effect.editOpen(parent.handle());
            other.editOpen(otherParent.handle());
            idleFor(effect, parent, 2);
            idleFor(other, otherParent, 2);
            expectOneChild(context, window, size, "beside a second editor");
            expectOneChild(context, *otherParent.window(), size, "the second editor");
            effect.editClose();
            expectOneChild(context, *otherParent.window(), size, "the second editor after the first closed");
            other.editClose();
            expectNoChild(context, *otherParent.window(), "the second editor closed");
        }
    }

    // The effect closed with its editor open takes the editor's window with it.
    effect.editOpen(parent.handle());
    idleFor(effect, parent, 2);
    context.expect(effect.close() == 1, "effClose with the editor open does not answer 1");
    parent.pumpEvents();
    expectNoChild(context, window, "after effClose with the editor open");
}

// The host destroys its window before it closes the editor, as some hosts do when a
// project closes: the editor must notice, and close and idle calls after it must be safe.
void hostDestroysWindowFirst(CheckContext& context)
{
    HostedEffect effect(context.library);
    if (!context.expect(effect.valid(), "the entry point gave no effect")) return;
    effect.start(44100, 128);
    const int32_t rounds = scaled(20);
    int32_t opened = 0;
    for (int32_t round = 0; round < rounds; ++round) {
        {
            const EditorParent parent(context);
            opened += effect.editOpen(parent.handle()) == 1 ? 1 : 0;
            idleFor(effect, parent, 1);
        }
        effect.editIdle();
        effect.editIdle();
        effect.editClose();
        effect.editIdle();
    }
    // Still a working editor in a new window afterwards.
    const EditorParent parent(context);
    if (parent.window() != nullptr) {
        context.expect(effect.editOpen(parent.handle()) == 1,
                       "no editor opens after the host destroyed its windows first");
        idleFor(effect, parent, 1);
        expectOneChild(context, *parent.window(), announcedSize(effect), "a new window afterwards");
        effect.editClose();
        context.expect(opened == rounds, std::to_string(rounds - opened) + " of the editors did not open");
    }
    context.note(std::to_string(rounds) + " host windows destroyed under an open editor (" + std::to_string(opened) +
                 " opened)");
}

constexpr Check checks[] = {
    {"editor-in-window", 6, editorInWindow},
    {"host-destroys-window-first", 6, hostDestroysWindowFirst},
};

}  // namespace

std::span<const Check> editorChecks() { return checks; }

}  // namespace validate
