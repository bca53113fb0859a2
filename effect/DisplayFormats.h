// The value texts of the editor's value displays. Each takes a real value and writes a
// terminated text of at most 7 characters for the ranges of the control table into a
// buffer of at least kDisplayTextSize bytes.
#pragma once

#include <cstddef>

constexpr std::size_t kDisplayTextSize = 32;

void formatDecibels(float x, char* text);
void formatFrequency(float x, char* text);
void formatNumber(float x, char* text);
void formatCutQ(float x, char* text);
