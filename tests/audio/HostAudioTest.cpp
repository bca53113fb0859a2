#include <gtest/gtest.h>

#include <barrier>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

namespace {

bool isSwitch(int index) { return index == 3 || index == 4 || index == 9 || (index >= 11 && index <= 18); }

// The same random settings on every effect given, through the host interface.
void setRandomly(std::vector<hosting::HostedEffect*> effects, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    for (int index = 10; index < 41; ++index) {
        const float v = isSwitch(index) ? static_cast<float>(rng() % 2) : value(rng);
        for (hosting::HostedEffect* e : effects) e->set(index, v);
    }
}

std::vector<float> noise(int n, std::mt19937& rng)
{
    std::uniform_real_distribution<float> v(-1.0f, 1.0f);
    std::vector<float> x(static_cast<size_t>(n));
    for (float& s : x) s = v(rng);
    return x;
}

// Loaded once and never closed: the library carries its own C++ runtime, whose start-up
// allocations would count as leaks once unloading unmapped the pointers to them.
const hosting::PluginLibrary& sharedLibrary()
{
    static const hosting::PluginLibrary* library = new hosting::PluginLibrary(TOLVAN_PLUGIN_PATH);
    return *library;
}

class HostAudio : public ::testing::Test {
protected:
    hosting::RecordingHost host;
    const hosting::PluginLibrary& library = sharedLibrary();
};

TEST_F(HostAudio, InPlaceSharedAndSwappedBuffersGiveTheOutOfPlaceResult)
{
    ASSERT_TRUE(library.loaded());
    std::mt19937 rng(21);
    for (int trial = 0; trial < 6; ++trial) {
        hosting::HostedEffect apart(library), inPlace(library), swapped(library), shared(library), sharedApart(library);
        setRandomly({&apart, &inPlace, &swapped, &shared, &sharedApart}, static_cast<unsigned>(rng()));
        for (int block = 0; block < 4; ++block) {
            const int n = static_cast<int>(rng() % 3000);
            const std::vector<float> l = noise(n, rng), r = noise(n, rng);

            // Distinct buffers: the inputs are left as they were.
            std::vector<float> inL = l, inR = r, outL(n), outR(n);
            float* in[2] = {inL.data(), inR.data()};
            float* out[2] = {outL.data(), outR.data()};
            apart->processReplacing(apart.get(), in, out, n);
            ASSERT_EQ(inL, l);
            ASSERT_EQ(inR, r);

            // The outputs are the inputs.
            std::vector<float> ioL = l, ioR = r;
            float* io[2] = {ioL.data(), ioR.data()};
            inPlace->processReplacing(inPlace.get(), io, io, n);
            ASSERT_EQ(ioL, outL) << trial << " " << block;
            ASSERT_EQ(ioR, outR);

            // The outputs are the inputs the other way round.
            std::vector<float> xL = l, xR = r;
            float* xin[2] = {xL.data(), xR.data()};
            float* xout[2] = {xR.data(), xL.data()};
            swapped->processReplacing(swapped.get(), xin, xout, n);
            ASSERT_EQ(xR, outL);
            ASSERT_EQ(xL, outR);

            // One buffer for both inputs, as a host may hand to several effects.
            std::vector<float> mono = l, sharedL(n), sharedR(n), copyL = l, copyR = l, apartL(n), apartR(n);
            float* sameIn[2] = {mono.data(), mono.data()};
            float* sameOut[2] = {sharedL.data(), sharedR.data()};
            float* twoIn[2] = {copyL.data(), copyR.data()};
            float* twoOut[2] = {apartL.data(), apartR.data()};
            shared->processReplacing(shared.get(), sameIn, sameOut, n);
            sharedApart->processReplacing(sharedApart.get(), twoIn, twoOut, n);
            ASSERT_EQ(mono, l);
            ASSERT_EQ(sharedL, apartL);
            ASSERT_EQ(sharedR, apartR);
        }
    }
}

// Two host threads setting the same parameter at the same moment, a third reading it,
// program switches and the audio thread, all through the record, round after round.
// After each round the effect must filter exactly as a second effect given the values it
// reports: whatever the interleaving, the value stored last is the one designed. In the
// ThreadSanitizer build the hand-offs are checked too.
TEST_F(HostAudio, ConcurrentSettersLeaveTheDesignOfTheStoredValues)
{
    ASSERT_TRUE(library.loaded());
    hosting::HostedEffect raced(library), fresh(library);
    constexpr int rounds = 1500;
    constexpr int block = 64;
    auto allBandsOn = [&] {
        for (int index = 9; index < 19; ++index) raced.set(index, 1.0f);
    };
    allBandsOn();
    std::barrier sync(6);
    // The parameter of round k, the same for every thread: a band's frequency, gain or Q.
    auto indexOf = [](int k) { return 19 + (k * 7) % 22; };
    auto setter = [&](unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        for (int k = 0; k < rounds; ++k) {
            sync.arrive_and_wait();
            raced.set(indexOf(k), value(rng));
            sync.arrive_and_wait();
        }
    };
    std::thread first(setter, 1u), second(setter, 2u);
    std::thread reader([&] {
        float sum = 0;
        for (int k = 0; k < rounds; ++k) {
            sync.arrive_and_wait();
            sum += raced.get(indexOf(k));
            sync.arrive_and_wait();
        }
        EXPECT_TRUE(std::isfinite(sum));
    });
    std::thread programs([&] {
        for (int k = 0; k < rounds; ++k) {
            sync.arrive_and_wait();
            if (k % 100 == 99) raced.dispatch(effSetProgram, 0, k / 100 % 8);
            sync.arrive_and_wait();
        }
    });
    std::thread audio([&] {
        std::mt19937 rng(3);
        std::vector<float> l = noise(block, rng), r = noise(block, rng), outL(block), outR(block);
        float* in[2] = {l.data(), r.data()};
        float* out[2] = {outL.data(), outR.data()};
        for (int k = 0; k < rounds; ++k) {
            sync.arrive_and_wait();
            raced->processReplacing(raced.get(), in, out, block);
            sync.arrive_and_wait();
        }
    });

    std::mt19937 rng(4);
    std::vector<float> l = noise(block, rng), r = noise(block, rng);
    std::vector<float> racedL(block), racedR(block), freshL(block), freshR(block);
    float* in[2] = {l.data(), r.data()};
    float* racedOut[2] = {racedL.data(), racedR.data()};
    float* freshOut[2] = {freshL.data(), freshR.data()};
    int mismatches = 0;
    for (int k = 0; k < rounds; ++k) {
        sync.arrive_and_wait();
        sync.arrive_and_wait();
        for (int index = 9; index < 41; ++index) fresh.set(index, raced.get(index));
        for (hosting::HostedEffect* e : {&raced, &fresh}) {
            e->suspend();
            e->resume();
        }
        raced->processReplacing(raced.get(), in, racedOut, block);
        fresh->processReplacing(fresh.get(), in, freshOut, block);
        if (racedL != freshL || racedR != freshR) ++mismatches;
        // A program switch leaves the bands as the program has them; the rounds want them on.
        if (k % 100 == 99) allBandsOn();
    }
    for (std::thread* t : {&first, &second, &reader, &programs, &audio}) t->join();
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
