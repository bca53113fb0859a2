#include "tools/hosting/HostedEffect.h"

#include <array>

namespace hosting {

std::string HostedEffect::text(int32_t opcode, int32_t index) const
{
    std::array<char, 256> buffer;
    buffer.fill('x');
    buffer.back() = '\0';
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

intptr_t HostedEffect::close()
{
    if (effect == nullptr) return 0;
    const intptr_t answer = dispatch(effClose);
    effect = nullptr;
    return answer;
}

void HostedEffect::start(float sampleRate, int32_t blockSize) const
{
    open();
    setSampleRate(sampleRate);
    setBlockSize(blockSize);
    resume();
}

const ERect* HostedEffect::editRect() const
{
    ERect* rect = nullptr;
    return dispatch(effEditGetRect, 0, 0, &rect) != 0 ? rect : nullptr;
}

}  // namespace hosting
