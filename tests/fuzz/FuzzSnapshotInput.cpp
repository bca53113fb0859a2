// libFuzzer target: the sound a snapshot plays (snapshot --input). Its header sets how
// long the editor's clock runs, so besides not crashing, no file may make it run longer
// than the longest stretch a snapshot plays.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/fuzz/FuzzInput.h"
#include "tools/host/SnapshotInput.h"
#include "tools/host/ToolError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr int kBlock = 512;
    const fuzzinput::MemoryFile file(data, size);
    try {
        SnapshotInput in(file.path());
        std::vector<float> left(kBlock), right(kBlock);
        double seconds = 0;
        for (int n; (n = in.fill(left.data(), right.data(), kBlock)) > 0;) {
            seconds += static_cast<double>(n) / in.sampleRate();
            if (seconds > kLongestSnapshotSeconds + 1) {
                std::fprintf(stderr, "the editor's clock would run past %ld s\n", kLongestSnapshotSeconds);
                std::abort();
            }
        }
    } catch (const ToolError&) {
        // Refused with a message naming the file.
    }
    return 0;
}
