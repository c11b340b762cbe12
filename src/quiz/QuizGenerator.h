#pragma once
// The program's one pseudo-random generator. The quiz shuffle and the five-choice import both
// draw from it, and it always starts from the same state, so the same random order comes back
// after every program start.
#include <cstdint>

namespace rovik {

class QuizGenerator {
public:
    // Next value, 0 to 32767: state := state * 22695477 + 1 (mod 2^32), value = bits 16-30.
    int next();
    // Puts the state back to its value at program start (tests; a fresh command-line run).
    void reset() { m_state = 1; }
    std::uint32_t state() const { return m_state; }

private:
    std::uint32_t m_state = 1;
};

// The one generator of the program.
QuizGenerator& quizGenerator();

} // namespace rovik
