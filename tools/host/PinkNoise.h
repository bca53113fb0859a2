// Deterministic pink noise (equal power per octave) for test signals: white noise from a
// fixed-seed generator through a sum of first-order low-passes spaced an octave-ish apart.
#pragma once

#include <cstdint>
#include <random>

class PinkNoise {
public:
    explicit PinkNoise(uint32_t seed = 1) : random(seed) {}

    // The next sample, peaking near -10 dBFS so that boosts stay below full scale.
    float next()
    {
        const double white = uniform(random);
        // Pole and weight pairs of a well-known three-pole 1/f approximation.
        b0 = 0.99765 * b0 + white * 0.0990460;
        b1 = 0.96300 * b1 + white * 0.2965164;
        b2 = 0.57000 * b2 + white * 1.0526913;
        return static_cast<float>(0.04 * (b0 + b1 + b2 + white * 0.1848));
    }

private:
    std::mt19937 random;
    std::uniform_real_distribution<double> uniform{-1.0, 1.0};
    double b0 = 0, b1 = 0, b2 = 0;
};
