// Opening the editor when memory runs out: every allocation that opening makes is failed
// in turn, and each time the host is answered 0, nothing of the window is left behind,
// and the next opening works. This program replaces the global allocator to do so.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "editor/GraphView.h"
#include "framework/CFrame.h"
#include "framework/platform/headless/HeadlessScript.h"
#include "tests/editor/EditorTestSupport.h"

namespace {

// Counts down the allocations while armed; the one that reaches zero fails.
std::atomic<int64_t> allocationsLeft{-1};
std::atomic<bool> failed{false};
// The same for the allocations of one size only.
std::atomic<std::size_t> sizeToFail{0};
std::atomic<int64_t> sizedAllocationsLeft{-1};
// Blocks handed out and not yet freed, to see that a failed opening leaks nothing.
std::atomic<int64_t> liveBlocks{0};

void* allocate(std::size_t size)
{
    if (allocationsLeft.load() > 0 && allocationsLeft.fetch_sub(1) == 1) {
        failed = true;
        return nullptr;
    }
    if (size == sizeToFail.load() && sizedAllocationsLeft.load() > 0 && sizedAllocationsLeft.fetch_sub(1) == 1) {
        failed = true;
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++liveBlocks;
    return block;
}

void deallocate(void* block)
{
    if (block == nullptr) return;
    --liveBlocks;
    std::free(block);
}

// Fails the n-th allocation from now (n ≥ 1); answers whether the failure happened.
void failAllocation(int64_t n)
{
    failed = false;
    allocationsLeft = n;
}
// Fails the n-th allocation of size bytes from now (n ≥ 1).
void failAllocationOfSize(std::size_t size, int64_t n)
{
    failed = false;
    sizeToFail = size;
    sizedAllocationsLeft = n;
}
bool disarm()
{
    allocationsLeft = -1;
    sizedAllocationsLeft = -1;
    return failed.load();
}

}  // namespace

void* operator new(std::size_t size)
{
    if (void* block = allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* block) noexcept { deallocate(block); }
void operator delete[](void* block) noexcept { deallocate(block); }
void operator delete(void* block, std::size_t) noexcept { deallocate(block); }
void operator delete[](void* block, std::size_t) noexcept { deallocate(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { deallocate(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { deallocate(block); }

namespace editortest {
namespace {

class EditorOutOfMemory : public ::testing::Test {
protected:
    void SetUp() override
    {
        VSTGUI::headless::reset();
        host = VSTGUI::headless::createHostWindow({100, 100, 854, 474});
    }
    void TearDown() override { VSTGUI::headless::destroyHostWindow(host); }

    static intptr_t dispatch(AEffect* record, int32_t opcode, void* ptr = nullptr)
    {
        return record->dispatcher(record, opcode, 0, 0, ptr, 0);
    }
    // One whole life of an editor: open, show, close.
    void openShowAndClose(AEffect* record)
    {
        ASSERT_EQ(dispatch(record, effEditOpen, host), 1);
        auto* editor = static_cast<SDEditor*>(static_cast<AKkk*>(record->object)->getEditor());
        VSTGUI::platform::Window* window = editor->getFrame()->getWindow();
        window->invalidate({0, 0, 754, 374});
        VSTGUI::headless::paint(*window);
        dispatch(record, effEditIdle);
        VSTGUI::headless::runMessages(SDEditor::kTimerInterval);
        dispatch(record, effEditClose);
    }

    VSTGUI::platform::ParentWindow host = nullptr;
};

TEST_F(EditorOutOfMemory, EveryFailedAllocationAnswersZeroAndLeavesNothingHalfMade)
{
    // The caches that live as long as the program (glyphs, the headless registry) fill
    // here, and this instance keeps the decoded bitmaps, which every editor shares, for the
    // whole test: each opening below allocates its own views and bitmap objects, not the
    // pixels again.
    auto holder = makeEffect();
    openShowAndClose(holder->getAeffect());
    int64_t failures = 0;
    for (int64_t n = 1;; ++n) {
        const int64_t before = liveBlocks.load();
        {
            auto effect = makeEffect();
            AEffect* record = effect->getAeffect();
            auto* editor = static_cast<SDEditor*>(effect->getEditor());
            failAllocation(n);
            const intptr_t answer = dispatch(record, effEditOpen, host);
            if (!disarm()) {
                // Opening made fewer than n allocations: every one of them has been failed.
                EXPECT_EQ(answer, 1);
                dispatch(record, effEditClose);
                break;
            }
            ++failures;
            EXPECT_EQ(answer, 0) << "allocation " << n;
            EXPECT_FALSE(editor->isOpen()) << "allocation " << n;
            EXPECT_EQ(editor->getFrame(), nullptr) << "allocation " << n;
            EXPECT_EQ(editor->getGraphView(), nullptr) << "allocation " << n;
            EXPECT_EQ(editor->getMeterView(), nullptr) << "allocation " << n;
            EXPECT_EQ(editor->getInfoButton(), nullptr) << "allocation " << n;
            EXPECT_EQ(editor->getTimerId(), 0u) << "allocation " << n;
            for (int32_t index = 0; index < kNumParameters; ++index)
                EXPECT_EQ(editor->getControl(index), nullptr) << "allocation " << n << ", control " << index;
            EXPECT_FALSE(effect->isWindowOpen()) << "allocation " << n;
            // The host may try again, and then the editor is whole.
            openShowAndClose(record);
        }
        EXPECT_EQ(liveBlocks.load(), before) << "blocks left behind when allocation " << n << " failed";
        if (HasFailure()) break;
    }
    EXPECT_GT(failures, 50) << "opening makes the frame, the views and their buffers";
}

TEST_F(EditorOutOfMemory, AnEffectWithoutItsAnalysersHasNoEditorUntilMemoryIsFound)
{
    auto effect = makeEffect();
    AEffect* record = effect->getAeffect();
    // The analysers are made, in one block, by the first opening, not before.
    EXPECT_FALSE(effect->hasAnalysers());
    failAllocationOfSize(sizeof(AnalyserTrio), 1);
    EXPECT_EQ(dispatch(record, effEditOpen, host), 0);
    ASSERT_TRUE(disarm());
    EXPECT_FALSE(effect->getEditor()->isOpen());
    // Idle, parameter changes and closing with no window touch nothing.
    dispatch(record, effEditIdle);
    record->setParameter(record, 28, 0.8f);
    VSTGUI::headless::runMessages(SDEditor::kTimerInterval);
    dispatch(record, effEditClose);
    // Whatever else shows the effect's state finds nothing to show.
    EXPECT_FALSE(effect->hasAnalysers());
    effect->resetSpectra();
    effect->measureResponse();
    EXPECT_EQ(effect->responseBins(), nullptr);
    float bins[SpectrumAnalyser::binCount];
    EXPECT_FALSE(effect->takeSpectrum(Spectrum::pre, bins));
    EXPECT_FALSE(effect->takeSpectrum(Spectrum::post, bins));
    // The host may try again, and then the editor is whole.
    openShowAndClose(record);
    EXPECT_TRUE(effect->hasAnalysers());
}

}  // namespace
}  // namespace editortest
