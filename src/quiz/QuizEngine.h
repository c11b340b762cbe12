#pragma once
// The logic of the quiz window: reading a QA text file into its own lines, finding the titles,
// loading one title's questions, selecting and ordering the questions of a run, chunks, passes
// and retries, and the wrong marks that 誤答のみ draws on. The window binds the view callbacks to
// its controls; messages and Yes/No questions go through the Prompter.
#include "platform/TextEncoding.h"
#include "quiz/QuizGenerator.h"
#include "quiz/QuizRecorder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik {

class Prompter;

enum class QuizArea { Progress, Question, Answer, Reference };

// What the engine asks of the quiz window. Texts are UTF-8.
class QuizView {
public:
    virtual ~QuizView() = default;
    virtual void setAreaText(QuizArea area, const std::string& text) = 0;
    // Whether 解答, 正解 and 不正解 can be pressed.
    virtual void setAnswerButtons(bool answer, bool correct, bool incorrect) = 0;
    // Whether the six option boxes, 開始 and タイトル選択 can be used (never during a run).
    virtual void setRunControlsUsable(bool usable) = 0;
    // The names that follow "すべて" in 分類A and 分類B.
    virtual void setCategoryEntries(const std::vector<std::string>& a, const std::vector<std::string>& b) = 0;
    // Every option box back to its first entry.
    virtual void resetOptions() = 0;
    virtual void setCaption(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0;
};

// A view that shows nothing: for callers that only read the engine's results.
class SilentQuizView : public QuizView {
public:
    void setAreaText(QuizArea, const std::string&) override {}
    void setAnswerButtons(bool, bool, bool) override {}
    void setRunControlsUsable(bool) override {}
    void setCategoryEntries(const std::vector<std::string>&, const std::vector<std::string>&) override {}
    void resetOptions() override {}
    void setCaption(const std::string&) override {}
    void setBusy(bool) override {}
};

// The six option boxes as the engine reads them when 開始 is pressed.
struct QuizOptions {
    int categoryA = 0;      // entry of 分類A: 0 = すべて, k = category A code k
    int categoryB = 0;      // entry of 分類B
    bool reverse = false;   // 逆質問: question from item 3, answer from item 2
    bool random = false;    // ﾗﾝﾀﾞﾑ
    bool wrongOnly = false; // 誤答のみ
    int chunkSize = 0;      // 0 = 分割なし, else 5, 10, 15 or 20
};

// A question as the history knows it: the record's own question and answer (items 2 and 3, UTF-8),
// whatever the direction.
struct QuestionKey {
    std::string question;
    std::string answer;
};

enum class QuizState { TitleLoaded, FirstPassPending, RetryPassPending, QuestionShown, AnswerShown };

class QuizEngine {
public:
    static constexpr int kMaxQuestions = 500; // questions drilled per title

    QuizEngine(QuizView& view, Prompter& prompter, QuizGenerator& generator = quizGenerator());

    // Reads the file into the quiz lines (UTF-8 converted to CP932) and finds its titles: 0, or -1
    // (message shown) when it cannot be read or holds characters CP932 cannot hold; the data
    // loaded before then stays. A run in progress is stopped.
    int LoadQuizFile(const std::string& path, EncodingChoice choice = EncodingChoice::Auto);
    // The same over a file's lines already read; `path` names it in the caption. Always 0.
    int LoadQuizLines(std::vector<std::string> lines, const std::string& path);
    // Loads title t (0 = the lines before the first title) into the question table and the
    // category entries and resets the options. A number without a title loads no question.
    void LoadTitle(int t);
    void StartRun(const QuizOptions& options); // 開始
    // 開始 over the given questions only, in the given order (苦手な問題で開始): direction, order
    // and chunks come from the options, the category boxes and 誤答のみ are not applied. A fresh
    // selection later in the run draws from the same questions.
    void StartRunOver(std::vector<int> questions, const QuizOptions& options);
    void ShowAnswer();    // 解答
    void MarkCorrect();   // 正解
    void MarkIncorrect(); // 不正解
    void StopRun();       // 中止

    // Runs and judged answers go to the recorder, when there is one (not owned).
    void setRecorder(QuizRecorder* recorder) { m_recorder = recorder; }
    // The file a run is recorded under; loading sets it to the loaded path.
    void setSourcePath(const std::string& path) { m_sourcePath = path; }

    int titleCount() const { return static_cast<int>(m_titles.size()) - 1; }
    // Item 2 of title t's title line (CP932); empty for title 0 or a number without a title.
    std::string titleName(int t) const;
    std::vector<std::string> titleNames() const;
    int loadedTitle() const { return m_loadedTitle; }
    int questionCount() const { return static_cast<int>(m_questions.size()); }
    // The kept lines of the file (CP932, without line ends).
    const std::vector<std::string>& lines() const { return m_lines; }
    // Wrong mark of the record at a line position; 0 for any position without a mark.
    int mark(int linePosition) const;
    // Line position of question q (from 1); -1 when there is no such question.
    int questionLine(int q) const;
    QuestionKey questionKey(int q) const;
    // The loaded title's questions for the keys, in the keys' order: a key that no question has is
    // skipped, and at most `limit` are given.
    std::vector<int> findQuestions(const std::vector<QuestionKey>& keys, int limit) const;
    QuizState state() const { return m_state; }
    bool running() const { return m_running; }
    int passSize() const { return m_N; }
    bool lastChunk() const { return m_lastChunk; }

private:
    struct Range {
        int first = 0;
        int last = -1;
    };
    struct Question {
        std::int32_t code = 0;
        int line = 0;
    };

    void ScanTitles();
    void startRun(const QuizOptions& options);
    void BuildSelection();
    void NextChunk();
    void ShuffleOrder(int n);
    void ShowNext();
    bool EndOfPass();     // true when the next question is to be shown
    bool nextSelection(); // the next chunk or a fresh selection; false (run stopped) when empty
    void goIdle();
    void clearAreas();
    bool splitting() const { return m_options.chunkSize > 0; }
    int orderEntry(int position) const;
    const std::string& recordOf(int question) const;
    std::int32_t& markOf(int question);
    void reportSkipped(int count, int firstLineNumber);
    void recordAnswer(bool right);

    QuizView& m_view;
    Prompter& m_prompter;
    QuizGenerator& m_generator;
    QuizRecorder* m_recorder = nullptr;
    std::string m_sourcePath;

    std::vector<std::string> m_lines;
    std::vector<int> m_lineNumbers; // line number in the file of each kept line
    std::vector<Range> m_titles;    // index 0 = the lines before the first title
    std::vector<std::int32_t> m_marks;
    std::vector<Question> m_questions; // question q is m_questions[q - 1]
    std::vector<int> m_order;          // position p is m_order[p - 1]
    std::vector<int> m_only;           // StartRunOver's questions; empty for 開始
    bool m_runOver = false;
    int m_loadedTitle = 0;

    QuizOptions m_options;
    int m_S = 0, m_N = 0, m_P = 0, m_E = 0, m_R = 0;
    bool m_lastChunk = false;
    bool m_running = false;
    QuizState m_state = QuizState::TitleLoaded;
};

} // namespace rovik
