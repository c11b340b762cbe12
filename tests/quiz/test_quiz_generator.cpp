#include "quiz/QuizGenerator.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

TEST(QuizGenerator_Next, StartsFromStateOne) {
    QuizGenerator generator;
    // state := state * 22695477 + 1; value := (state >> 16) & 32767
    const int expected[] = {346, 130, 10982, 1090, 11656, 7117, 17595, 6415};
    for (int value : expected)
        EXPECT_EQ(value, generator.next());
    EXPECT_EQ(0x190F3A19u, generator.state());
}

TEST(QuizGenerator_Next, WrapsModulo32Bits) {
    QuizGenerator generator;
    for (int i = 0; i < 3; ++i)
        generator.next();
    std::uint64_t state = generator.state();
    generator.next();
    EXPECT_EQ(static_cast<std::uint32_t>(state * 22695477u + 1u), generator.state());
}

TEST(QuizGenerator_Reset, RepeatsTheSequence) {
    QuizGenerator generator;
    int first[5];
    for (int& v : first)
        v = generator.next();
    generator.reset();
    EXPECT_EQ(1u, generator.state());
    for (int v : first)
        EXPECT_EQ(v, generator.next());
}

TEST(QuizGenerator_Program, IsOneGenerator) {
    QuizGenerator& a = quizGenerator();
    a.reset();
    a.next();
    EXPECT_EQ(&a, &quizGenerator());
    EXPECT_EQ(22695478u, quizGenerator().state());
    a.reset();
}

} // namespace
} // namespace rovik
