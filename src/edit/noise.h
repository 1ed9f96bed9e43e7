// The Noise effect: uniformly distributed random samples written into the
// selection, or, with nothing selected, into the "INSERT" length of new
// samples at the cursor. In Mix mode the noise is mixed into the old sound by
// the two mixing percentages.
#pragma once

#include <cstdint>

#include "edit/effect_settings.h"

// A small pseudo-random generator of our own (SplitMix64), so that one seed
// gives the same noise on every platform and in every build.
class NoiseSource {
public:
    explicit NoiseSource(uint32_t seed) : state(seed) {}

    // 32 uniformly distributed bits.
    uint32_t Next()
    {
        state += 0x9E3779B97F4A7C15ull;
        uint64_t z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
    }

    // A value uniformly distributed over -peak .. peak - 1 (peak at most
    // 32767); 0 when peak is 0 or less.
    int32_t Sample(int32_t peak)
    {
        if (peak <= 0)
            return 0;
        // Multiply and keep the high word; the few low words that would make
        // some values likelier than others are drawn again.
        uint32_t range = 2u * static_cast<uint32_t>(peak);
        uint64_t m = uint64_t{Next()} * range;
        if (static_cast<uint32_t>(m) < range) {
            uint32_t threshold = (0u - range) % range;
            while (static_cast<uint32_t>(m) < threshold)
                m = uint64_t{Next()} * range;
        }
        return static_cast<int32_t>(m >> 32) - peak;
    }

private:
    uint64_t state;
};

// The Noise action, also how its undo record is redone. noiseAmplitude is
// percent of full scale (127 or 32767), taken within 0 .. 100: at 100 % the
// values run over -32767 .. 32766, at 0 % the samples become 0. The generator
// is seeded from TheClock().
void AddNoise(const EffectSettings& settings);
