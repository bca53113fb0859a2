// A plug-in with one fault put in on purpose, for the validator's self-check: it loads the
// real plug-in, hands the host a record of its own and breaks one thing on the way
// through. TOLVAN_FAULT picks the fault at build time; none of this is ever in the product.

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <limits>

#include "effect/PluginInterface.h"
#include "tools/hosting/PluginLibrary.h"

namespace {

enum class Fault { TextOverflow = 1, InputWrite, NaN, Leak, Race, Crash, Hang, EditorLeftOpen, NullWrite };
constexpr Fault kFault = static_cast<Fault>(TOLVAN_FAULT);

// What a leaking effect loses with every effOpen.
constexpr std::size_t kLeakSize = 64 * 1024;

struct Faulty {
    AEffect record;
    AEffect* inner;
    bool poisoned = false;
    // Written by setParameter and read by the dispatcher with no hand-off at all.
    int32_t lastIndex = 0;
};

Faulty* faulty(AEffect* record) { return static_cast<Faulty*>(record->object); }

// The last leaked block stays reachable; every earlier one is lost.
void* volatile lastLeak = nullptr;

intptr_t dispatcher(AEffect* record, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    Faulty* self = faulty(record);
    AEffect* inner = self->inner;
    if (kFault == Fault::TextOverflow && opcode == effGetParamName && ptr != nullptr) {
        std::memset(ptr, 'x', 79);
        static_cast<char*>(ptr)[79] = 0;
        return 0;
    }
    if (kFault == Fault::Leak && opcode == effOpen) {
        void* lost = std::malloc(kLeakSize);
        if (lost != nullptr) std::memset(lost, 1, kLeakSize);
        lastLeak = lost;
    }
    if (kFault == Fault::Crash && opcode == effGetVendorString) std::abort();
    if (kFault == Fault::NullWrite && opcode == effGetProductString) {
        volatile char* volatile nowhere = nullptr;
        *nowhere = 'x';
    }
    while (kFault == Fault::Hang && opcode == effGetVstVersion) std::this_thread::sleep_for(std::chrono::seconds(1));
    // The editor's window stays in the host's window after the host closed it.
    if (kFault == Fault::EditorLeftOpen && opcode == effEditClose) return 0;
    if (kFault == Fault::Race && opcode == effGetParamDisplay && self->lastIndex == index) index = 0;
    const intptr_t answer = inner->dispatcher(inner, opcode, index, value, ptr, opt);
    if (opcode == effClose) delete self;
    return answer;
}

void setParameter(AEffect* record, int32_t index, float value)
{
    Faulty* self = faulty(record);
    if (kFault == Fault::NaN && !(value >= 0.0f && value <= 1.0f)) self->poisoned = true;
    if (kFault == Fault::Race) self->lastIndex = index;
    self->inner->setParameter(self->inner, index, value);
}

float getParameter(AEffect* record, int32_t index)
{
    AEffect* inner = faulty(record)->inner;
    return inner->getParameter(inner, index);
}

void processReplacing(AEffect* record, float** inputs, float** outputs, int32_t count)
{
    Faulty* self = faulty(record);
    self->inner->processReplacing(self->inner, inputs, outputs, count);
    if (count <= 0 || inputs == nullptr || outputs == nullptr || inputs[0] == nullptr || outputs[0] == nullptr) return;
    if (kFault == Fault::InputWrite && inputs[0] != outputs[0]) inputs[0][count - 1] *= 0.5f;
    if (kFault == Fault::NaN && self->poisoned) outputs[0][0] = std::numeric_limits<float>::quiet_NaN();
}

// The real plug-in's entry point; its library stays loaded until the process ends, never
// closed from inside this library's own unloading.
hosting::EntryPoint realEntry()
{
    static const hosting::PluginLibrary* const library = new hosting::PluginLibrary(TOLVAN_PLUGIN_PATH);
    return library->entry();
}

}  // namespace

#if defined(_WIN32)
extern "C" __declspec(dllexport) AEffect* VSTPluginMain(HostCallback host);
#else
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(HostCallback host);
#endif

extern "C" AEffect* VSTPluginMain(HostCallback host)
{
    const hosting::EntryPoint entry = realEntry();
    AEffect* inner = entry != nullptr ? entry(host) : nullptr;
    if (inner == nullptr) return nullptr;
    auto* self = new Faulty{*inner, inner};
    self->record.object = self;
    self->record.dispatcher = dispatcher;
    self->record.setParameter = setParameter;
    self->record.getParameter = getParameter;
    self->record.processReplacing = processReplacing;
    return &self->record;
}
