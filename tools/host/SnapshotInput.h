// The sound a snapshot plays through the effect before the picture is taken. The editor's
// clock runs in step with it, so what a file's header claims bounds the work: rates
// outside what the effect is made for are refused, and of a long file only the end is
// played, which is all the picture can show (the analysers and the meter forget within
// seconds).
#pragma once

#include <string>
#include <vector>

#include "tools/host/AudioFile.h"

constexpr int kLowestSnapshotRate = 8000;
constexpr int kHighestSnapshotRate = 384000;
constexpr long kLongestSnapshotSeconds = 60;

class SnapshotInput {
public:
    // Throws ToolError naming path: unreadable, not audio, a rate out of range.
    explicit SnapshotInput(const std::string& path);

    int sampleRate() const { return reader.sampleRate(); }
    // The seconds left out at the start of a long file; 0 for most.
    double skippedSeconds() const { return static_cast<double>(skipped) / reader.sampleRate(); }
    // Fills up to count frames of each side (a mono file feeds both); 0 at the end.
    int fill(float* left, float* right, int count);

private:
    AudioReader reader;
    std::vector<float> interleaved;
    sf_count_t skipped = 0;
    sf_count_t framesLeft;  // still to play, whatever the header claimed
};
