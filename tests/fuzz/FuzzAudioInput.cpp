// libFuzzer target: sound files as tolvan-host process reads them through libsndfile,
// block by block to the end, as the processing loop does.
#include <vector>

#include "tests/fuzz/FuzzInput.h"
#include "tools/host/AudioFile.h"
#include "tools/host/ToolError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr sf_count_t kBlock = 512;
    const fuzzinput::MemoryFile file(data, size);
    try {
        AudioReader in(file.path());
        std::vector<float> interleaved(static_cast<std::size_t>(kBlock * in.channels()));
        while (in.read(interleaved.data(), kBlock) > 0) {
        }
    } catch (const ToolError&) {
        // Refused with a message naming the file.
    }
    return 0;
}
