#pragma once
// What the quiz engine tells a history of its runs. Texts are UTF-8.
#include <string>

namespace rovik {

struct QuizOptions;

struct QuizRunInfo {
    std::string file;  // the file drilled (the PDB itself when drilled through text)
    std::string title; // the title's name
    const QuizOptions* options = nullptr;
};

class QuizRecorder {
public:
    virtual ~QuizRecorder() = default;
    virtual void runStarted(const QuizRunInfo& run) = 0;
    virtual void questionShown() = 0;
    // The record's own question and answer (items 2 and 3, whatever the direction).
    virtual void answered(const std::string& question, const std::string& answer, bool right) = 0;
    virtual void runEnded() = 0;
};

} // namespace rovik
