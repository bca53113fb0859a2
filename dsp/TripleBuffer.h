#pragma once

#include <atomic>
#include <cstdint>

// Hands complete values from one writer thread to one reader thread without locks or
// waiting. The writer fills its own slot and swaps it with the middle one; the reader
// swaps its slot with the middle one when that holds something new. Each slot belongs
// to exactly one side between swaps, and the swaps are atomic exchanges (release on
// the writer's side, acquire on the reader's), so the reader always sees a whole value.
template <class T>
class TripleBuffer {
public:
    // The writer's slot, to be filled before publish(). [writer]
    T& writeSlot() { return slots[back]; }
    // Makes the writer's slot the newest value. [writer]
    void publish()
    {
        back = middle.exchange(static_cast<uint8_t>(back | freshBit), std::memory_order_acq_rel) & indexMask;
    }
    // Takes the newest value if one arrived since the last take; answers whether it did.
    // [reader]
    bool take()
    {
        if ((middle.load(std::memory_order_relaxed) & freshBit) == 0) return false;
        front = middle.exchange(front, std::memory_order_acq_rel) & indexMask;
        return true;
    }
    // The value taken last. [reader]
    const T& readSlot() const { return slots[front]; }

private:
    static_assert(std::atomic<uint8_t>::is_always_lock_free, "the audio thread takes values");
    static constexpr uint8_t indexMask = 3;
    static constexpr uint8_t freshBit = 4;

    T slots[3]{};
    uint8_t back = 0;
    std::atomic<uint8_t> middle{1};
    uint8_t front = 2;
};
