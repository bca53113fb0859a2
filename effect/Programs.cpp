#include <atomic>
#include <cstdio>
#include <cstring>

#include "effect/AEffEditor.h"
#include "effect/AKkk.h"
#include "effect/HostText.h"
#include "effect/ParameterValues.h"
#include "effect/ProgramRecord.h"

namespace {

// A program of this name answers with its number, "Init 1" to "Init 8".
constexpr char kNumberedProgramName[] = "Init";

}  // namespace

void AKkk::selectProgram(int32_t program)
{
    if (programBank == nullptr) return;
    currentProgram = program;
    // Every stored value first, then one design for all of them.
    float values[kNumParameters];
    uint64_t changes = 0;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        values[i] = static_cast<float>(std::atomic_ref<double>(programBank[program].values[i]).load());
        if (isStoredParameter(i)) changes |= storeValue(i, values[i]);
    }
    requestDesign(changes);
    if (editor == nullptr) return;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        if (isStoredParameter(i)) editor->showParameter(i, values[i]);
    }
}

void AKkk::renameProgram(const char* name)
{
    if (programBank == nullptr) return;
    // Names longer than the field are cut to 23 characters.
    copyHostText(programBank[currentProgram].name, name, sizeof programBank[currentProgram].name);
}

void AKkk::currentProgramName(char* text)
{
    if (programBank == nullptr) {
        text[0] = 0;
        return;
    }
    const char* name = programBank[currentProgram].name;
    if (std::strcmp(name, kNumberedProgramName) == 0) {
        std::snprintf(text, kMaxProgramNameSize, "%s %d", kNumberedProgramName, currentProgram + 1);
    } else {
        copyHostText(text, name, kMaxProgramNameSize);
    }
}

bool AKkk::programNameAt(int32_t index, char* text)
{
    if (programBank == nullptr || index < 0 || index >= kNumPrograms) return false;
    copyHostText(text, programBank[index].name, kMaxProgramNameSize);
    return true;
}

void AKkk::resetToDefaults()
{
    uint64_t changes = 0;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        if (i != kResetParameter) changes |= storeValue(i, realToNormalized(defaultRealValue(i), i));
    }
    requestDesign(changes);
    if (editor == nullptr) return;
    for (int32_t i = 0; i < kNumParameters; ++i) {
        if (i != kResetParameter) editor->showParameter(i, static_cast<float>(currentValue(i)));
    }
}
