#include "quiz/QuizGenerator.h"

namespace rovik {

int QuizGenerator::next() {
    m_state = m_state * 22695477u + 1u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
}

QuizGenerator& quizGenerator() {
    static QuizGenerator generator;
    return generator;
}

} // namespace rovik
