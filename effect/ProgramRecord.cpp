#include "effect/ProgramRecord.h"

#include "effect/HostText.h"
#include "effect/ParameterValues.h"

namespace {

constexpr char kDefaultProgramName[] = "Default";

}  // namespace

double defaultRealValue(int32_t index)
{
    if (index == kDummyParameter || !isStoredParameter(index)) return 0;
    return findDescriptor(index).defaultValue;
}

void initialiseProgram(ProgramRecord& program)
{
    for (int32_t i = 0; i < kNumParameters; ++i) program.values[i] = realToNormalized(defaultRealValue(i), i);
    program.values[kSpareParameter] = 0;
    program.values[kDocumentationParameter] = 0;
    copyHostText(program.name, kDefaultProgramName, sizeof program.name);
}
