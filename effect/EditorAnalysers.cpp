#include "effect/EditorAnalysers.h"

#include <memory>
#include <new>

AnalyserTrio* EditorAnalysers::make(int32_t rate)
{
    if (AnalyserTrio* made = get()) return made;
    auto fresh = std::unique_ptr<AnalyserTrio>(new (std::nothrow) AnalyserTrio(rate));
    if (fresh == nullptr) return nullptr;
    AnalyserTrio* first = nullptr;
    if (published.compare_exchange_strong(first, fresh.get())) return fresh.release();
    // Another editor published its trio in between; that one stays and ours goes.
    return first;
}
