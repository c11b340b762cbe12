// The quiz loader on any bytes: lines and titles, every title's questions and categories, then
// one drilled run with options taken from the input, answered right and wrong in turn.
#include "FuzzSupport.h"

#include "data/QaTextFile.h"
#include "quiz/QuizEngine.h"

#include <functional>

using namespace rovik;

namespace {
class NullQuizView : public SilentQuizView {
public:
    void setAreaText(QuizArea, const std::string& text) override {
        ROVIK_FUZZ_CHECK(text.size() < (1u << 24));
    }
};

// Yes and No in turn, so both ways out of every end-of-pass question are taken.
class AlternatingPrompter : public fuzz::QuietPrompter {
public:
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override {
        fuzz::QuietPrompter::ask(text, caption, buttons, icon);
        if (buttons == Buttons::Ok) return Answer::Ok;
        return asked % 2 ? Answer::Yes : Answer::No;
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    NullQuizView view;
    AlternatingPrompter prompter;
    QuizGenerator generator;
    QuizEngine engine(view, prompter, generator);
    ROVIK_FUZZ_CHECK(engine.LoadQuizLines(splitTextLines(bytes), "fuzz.txt") == 0);
    for (const auto& line : engine.lines())
        ROVIK_FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    ROVIK_FUZZ_CHECK(static_cast<int>(engine.titleNames().size()) == engine.titleCount());

    for (int t = -1; t <= engine.titleCount() + 1 && t < 18; ++t) {
        engine.LoadTitle(t);
        ROVIK_FUZZ_CHECK(engine.questionCount() <= QuizEngine::kMaxQuestions);
        for (int q = 1; q <= engine.questionCount(); ++q) {
            const int line = engine.questionLine(q);
            ROVIK_FUZZ_CHECK(line >= 0 && line < static_cast<int>(engine.lines().size()));
        }
    }

    const std::size_t h = std::hash<std::string>{}(bytes);
    engine.LoadTitle(static_cast<int>(h % static_cast<std::size_t>(engine.titleCount() + 1)));
    QuizOptions options;
    options.categoryA = static_cast<int>((h >> 8) % 4);
    options.categoryB = static_cast<int>((h >> 10) % 3);
    options.reverse = (h >> 12) & 1;
    options.random = (h >> 13) & 1;
    options.wrongOnly = (h >> 14) & 1;
    options.chunkSize = static_cast<int>((h >> 15) % 5) * 5;
    // Twice: the second run sees the wrong marks of the first.
    for (int run = 0; run < 2; ++run) {
        engine.StartRun(options);
        for (int step = 0; engine.running() && step < 200; ++step) {
            engine.ShowAnswer();
            step % 3 == 0 ? engine.MarkIncorrect() : engine.MarkCorrect();
            ROVIK_FUZZ_CHECK(engine.passSize() <= engine.questionCount());
        }
        if (engine.running()) engine.StopRun();
        options.wrongOnly = !options.wrongOnly;
    }
    return 0;
}
