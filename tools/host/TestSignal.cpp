#include "tools/host/TestSignal.h"

#include <vector>

#include "tools/host/AudioFile.h"
#include "tools/host/PinkNoise.h"

void writePinkNoise(const std::string& path, long seconds, long rate)
{
    AudioWriter out(path, SF_FORMAT_WAV | SF_FORMAT_PCM_24, SampleFormat::AsInput, 2, static_cast<int>(rate));
    PinkNoise left(1), right(2);
    std::vector<float> frames;
    for (long second = 0; second < seconds; ++second) {
        frames.clear();
        for (long i = 0; i < rate; ++i) {
            frames.push_back(left.next());
            frames.push_back(right.next());
        }
        out.write(frames.data(), rate);
    }
    out.commit();
}
