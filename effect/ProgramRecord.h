// The effect's stored state: a bank of programs, each a normalised value for every
// parameter and a name. The host saves and restores the effect only through these.
#pragma once

#include "effect/ControlTable.h"

constexpr int kProgramNameSize = 24;

struct ProgramRecord {
    double values[kNumParameters];
    char name[kProgramNameSize];
};

// The table defaults as normalised values, named "Default".
void initialiseProgram(ProgramRecord& program);

// The real value that a fresh program and Reset give parameter index.
double defaultRealValue(int32_t index);
