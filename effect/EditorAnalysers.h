// The effect's three analysers (PRE, POST and the response measurement's), which only an
// editor uses: made when the first editor opens and kept until the effect goes, so that a
// host's instances without an open editor hold none of their memory.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/SpectrumAnalyser.h"

struct AnalyserTrio {
    explicit AnalyserTrio(int32_t rate) : pre(rate), post(rate), response(rate) {}
    SpectrumAnalyser pre, post, response;
};

// Hand-off: an opening editor makes the trio whole on its own thread and then publishes
// it with a compare-exchange; every other thread loads the pointer and finds either null
// (nothing made yet: nothing to feed, nothing to show) or a trio completely made. Once
// published the pointer never changes until the effect is destroyed, when no other
// thread calls the effect any more, so no reader ever sees the trio go and nobody waits.
// The operations are sequentially consistent so that the effect can order a sample-rate
// change against the publication (see AKkk::makeAnalysers).
class EditorAnalysers {
public:
    EditorAnalysers() = default;
    ~EditorAnalysers() { delete published.load(); }
    EditorAnalysers(const EditorAnalysers&) = delete;
    EditorAnalysers& operator=(const EditorAnalysers&) = delete;

    // Makes the trio at the given rate unless it exists; answers it, or null when memory
    // ran out (a later call tries again). Two editors opening at once on different threads
    // both get the one that was published first. [UI thread]
    AnalyserTrio* make(int32_t rate);
    // The trio, or null before it is made. [any thread]
    AnalyserTrio* get() const { return published.load(); }

private:
    std::atomic<AnalyserTrio*> published{nullptr};
    static_assert(std::atomic<AnalyserTrio*>::is_always_lock_free, "the audio thread reads it");
};
