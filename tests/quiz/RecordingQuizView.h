#pragma once
// A quiz view for tests: keeps what the engine last showed and which controls are usable.
#include "quiz/QuizEngine.h"

#include <map>
#include <string>
#include <vector>

namespace rovik::test {

class RecordingQuizView : public QuizView {
public:
    void setAreaText(QuizArea area, const std::string& text) override { texts[area] = text; }
    void setAnswerButtons(bool a, bool c, bool i) override {
        answer = a;
        correct = c;
        incorrect = i;
    }
    void setRunControlsUsable(bool usable) override { runControls = usable; }
    void setCategoryEntries(const std::vector<std::string>& a, const std::vector<std::string>& b) override {
        categoryA = a;
        categoryB = b;
    }
    void resetOptions() override { ++resets; }
    void setCaption(const std::string& text) override { caption = text; }
    void setBusy(bool b) override { busy = b; }

    std::string text(QuizArea area) const {
        auto it = texts.find(area);
        return it == texts.end() ? std::string() : it->second;
    }

    std::map<QuizArea, std::string> texts;
    bool answer = false, correct = false, incorrect = false;
    bool runControls = true;
    bool busy = false;
    int resets = 0;
    std::vector<std::string> categoryA, categoryB;
    std::string caption;
};

} // namespace rovik::test
