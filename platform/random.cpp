#include "platform/random.h"

#include <cmath>

namespace velmoran {

namespace {

constexpr std::uint64_t kMultiplier = 6364136223846793005ull;
constexpr std::uint64_t kIncrement = 1442695040888963407ull;
constexpr float kTwoTo24 = 16777216.0f;

} // namespace

float Random::next() {
    state_ = state_ * kMultiplier + kIncrement;
    return static_cast<float>(state_ >> 40) / kTwoTo24;
}

Random& programRandom() {
    static Random generator;
    return generator;
}

void restartProgramRandom() {
    programRandom() = Random();
}

int colourComponent(float fraction) {
    // The product is exact in double precision; nearbyint rounds a half to
    // the even neighbour (the default rounding mode).
    const double scaled = static_cast<double>(fraction) * 255.0;
    const int component = static_cast<int>(std::nearbyint(scaled));
    return component < 0 ? 0 : (component > 255 ? 255 : component);
}

} // namespace velmoran
