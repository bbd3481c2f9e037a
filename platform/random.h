#pragma once

#include <cstdint>

namespace velmoran {

// The program's pseudo-random generator: single-precision fractions in
// [0, 1). It always starts from the same state and nothing ever seeds it,
// so every run of the program draws the same sequence (the colours of the
// about screen and of the screensaver come out the same at every start).
//
// A 64-bit linear congruential generator (Knuth's MMIX multiplier and
// increment); a fraction is the top 24 bits of the state over 2^24, which a
// float holds exactly.
class Random {
public:
    Random() = default;

    // The next fraction, 0 <= f < 1.
    float next();

private:
    std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

// The one generator of the program run, shared by every screen that draws.
Random& programRandom();

// For tests: the program's generator back at its start, as in a fresh run.
void restartProgramRandom();

// A colour component from a fraction: fraction x 255 to the nearest whole
// number, a half going to the even neighbour; 0 to 255.
int colourComponent(float fraction);

} // namespace velmoran
