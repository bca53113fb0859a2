// "--set NAME=VALUE": a parameter named as the host sees it (or by index) and a value in
// the parameter's real units, turned into the normalised value the host sends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ParameterSetting {
    int32_t index;
    float normalized;
    double real;  // what the effect makes of the normalised value
};

// The names a setting may use, by parameter index: the host's name, or for the editor's
// own rows without one (PRE, POST, SLOPE, RANGE, SHIFT) the name on the skin; empty for
// the rows that hold no setting.
std::vector<std::string> settableNames(const std::vector<std::string>& hostNames);

// Throws UsageError for an unknown name (listing the close ones), a value that does not
// read in the parameter's units, or one outside its range (naming the range).
ParameterSetting parseSetting(const std::string& text, const std::vector<std::string>& names);

// The names among names closest to the one asked for, best first.
std::vector<std::string> closeNames(const std::string& asked, const std::vector<std::string>& names);

// The parameter's value as the editor shows it ("6.0dB", "12.0kHz", "Edge", "on").
std::string displayText(int32_t index, double real);
