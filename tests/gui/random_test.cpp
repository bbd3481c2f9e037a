#include "platform/random.h"

#include <gtest/gtest.h>

#include <vector>

using namespace velmoran;

namespace {

std::vector<float> draws(Random& random, int count) {
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
        values.push_back(random.next());
    }
    return values;
}

TEST(RandomTest, TwoFreshGeneratorsDrawTheSameSequenceOfFractionsBelowOne) {
    Random first;
    Random second;
    const std::vector<float> a = draws(first, 10000);
    const std::vector<float> b = draws(second, 10000);
    EXPECT_EQ(a, b);
    float lowest = 1;
    float highest = 0;
    for (float value : a) {
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // Spread over the whole range, not stuck.
    EXPECT_LT(lowest, 0.01f);
    EXPECT_GT(highest, 0.99f);
    EXPECT_NE(a[0], a[1]);
}

TEST(RandomTest, TheProgramsGeneratorIsOneSharedSequenceRestartedAsAFreshRun) {
    restartProgramRandom();
    const float first = programRandom().next();
    const float second = programRandom().next(); // the same generator goes on
    Random fresh;
    EXPECT_EQ(first, fresh.next());
    EXPECT_EQ(second, fresh.next());
    restartProgramRandom();
    EXPECT_EQ(programRandom().next(), first);
}

TEST(RandomTest, ColourComponentRoundsToTheNearestWithAHalfToTheEvenNeighbour) {
    EXPECT_EQ(colourComponent(0.0f), 0);
    EXPECT_EQ(colourComponent(0.5f), 128); // 127.5 goes to the even 128
    EXPECT_EQ(colourComponent(1.0f / 255.0f), 1);
    EXPECT_EQ(colourComponent(0.0019f), 0); // 0.48
    EXPECT_EQ(colourComponent(0.0021f), 1); // 0.54
    EXPECT_EQ(colourComponent(0.99999994f), 255);
    // Every component of a long run lies in 0 ... 255 and both ends occur.
    Random random;
    int lowest = 255;
    int highest = 0;
    for (int i = 0; i < 100000; ++i) {
        const int component = colourComponent(random.next());
        ASSERT_GE(component, 0);
        ASSERT_LE(component, 255);
        lowest = std::min(lowest, component);
        highest = std::max(highest, component);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, 255);
}

} // namespace
