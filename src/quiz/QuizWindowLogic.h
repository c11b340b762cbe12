#pragma once
// What the quiz window decides, apart from the engine: opening the default or sample file,
// opening a text or a PDB, choosing a title, reading the six option boxes, the quiz selection
// line of the settings list, and how the line counts divide the text space.
#include "quiz/QuizEngine.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

// Top and height of a text area, in pixels.
struct AreaPlace {
    int top = 0;
    int height = 0;
};

// Question, answer and reference areas for given line counts.
struct LineLayout {
    int questionLines = 3;
    int answerLines = 3;
    int referenceLines = 3;
    AreaPlace question, answer, reference;
};

// 19 pixels a line, 7 between areas, the question area at 128; the nine lines are shared and,
// when the two counts ask for more, the larger count gives way (the question count on a tie).
// Counts outside 1 to 8 are taken as the nearest end.
LineLayout layoutAreas(int questionLines, int answerLines);

// Selected entry of 分類A, 分類B, 逆質問, 出題順, 対象, 分割 (-1 = none selected).
using OptionEntries = std::array<int, 6>;

// The engine's options for the boxes' entries.
QuizOptions toQuizOptions(const OptionEntries& entries);

// Chosen title and the six entries, joined by tabs (no line break).
std::string quizSelectionLine(int chosenTitle, const OptionEntries& entries);

// Replaces line 1 of the settings list, or adds it as the only line of an empty list.
void storeQuizSelectionLine(std::vector<std::string>& settings, const std::string& line);

// What the logic asks of the quiz window beyond the engine's view.
class QuizWindowView : public QuizView {
public:
    // Title selection dialog over the title names (UTF-8): the clicked row from 0, or nothing
    // when it was closed without a choice.
    virtual std::optional<int> chooseTitle(const std::vector<std::string>& names) = 0;
    virtual void setTitleMenuUsable(bool usable) = 0;
    virtual void setStatusText(const std::string& text) = 0;
};

class QuizWindowLogic {
public:
    QuizWindowLogic(QuizWindowView& view, Prompter& prompter, std::string startFolder);

    // First activation: RovikQA.TXT of the start folder, else the offer of SampleQA.TXT.
    void Opening();
    void OpenText();    // ﾌｧｲﾙ → 開く・ﾃｷｽﾄ
    void OpenPdb();     // ﾌｧｲﾙ → 開く・PDB, through "$temp.txt" in the start folder
    void SelectTitle(); // タイトル選択 and ﾀｲﾄﾙ選択
    void Start(const OptionEntries& entries); // 開始
    // 苦手な問題で開始: the first `count` of the keys (most missed first) that the loaded title
    // still has, with the boxes' direction, order and chunks.
    void StartMostMissed(const OptionEntries& entries, const std::vector<QuestionKey>& keys, int count);

    // Where the runs are recorded (not owned); none by default.
    void setRecorder(QuizRecorder* recorder) { m_engine.setRecorder(recorder); }

    QuizEngine& engine() { return m_engine; }
    const QuizEngine& engine() const { return m_engine; }
    int chosenTitle() const { return m_chosenTitle; }

private:
    void loadAndSelect(const std::string& path);

    QuizWindowView& m_view;
    Prompter& m_prompter;
    std::string m_startFolder;
    QuizEngine m_engine;
    int m_chosenTitle = 0;
};

} // namespace rovik
