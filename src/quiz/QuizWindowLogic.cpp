#include "quiz/QuizWindowLogic.h"

#include "pdb/PdbReader.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <utility>

namespace rovik {
namespace {
constexpr int kLinePixels = 19;
constexpr int kAreaGap = 7;
constexpr int kQuestionTop = 128;
constexpr int kSharedLines = 9;

bool endsWith(const std::string& text, const char* suffix) {
    const std::string s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

// Only the two spellings the dialogs offer; "Q.Txt" is not a text file here.
bool hasExtension(const std::string& path, const char* lower, const char* upper) {
    return endsWith(path, lower) || endsWith(path, upper);
}

AreaPlace below(const AreaPlace& above, int lines) {
    return AreaPlace{above.top + above.height + kAreaGap, kLinePixels * lines};
}
} // namespace

LineLayout layoutAreas(int questionLines, int answerLines) {
    int q = std::clamp(questionLines, 1, 8);
    int a = std::clamp(answerLines, 1, 8);
    if (q + a > kSharedLines) {
        if (a > q)
            a = kSharedLines - q;
        else
            q = kSharedLines - a;
    }
    LineLayout layout;
    layout.questionLines = q;
    layout.answerLines = a;
    layout.referenceLines = kSharedLines - q - a;
    layout.question = AreaPlace{kQuestionTop, kLinePixels * q};
    layout.answer = below(layout.question, a);
    layout.reference = below(layout.answer, layout.referenceLines);
    return layout;
}

QuizOptions toQuizOptions(const OptionEntries& entries) {
    static const int kChunkSizes[] = {0, 5, 10, 15, 20};
    QuizOptions options;
    options.categoryA = entries[0];
    options.categoryB = entries[1];
    options.reverse = entries[2] == 1;
    options.random = entries[3] == 1;
    options.wrongOnly = entries[4] == 1;
    options.chunkSize = entries[5] >= 0 && entries[5] <= 4 ? kChunkSizes[entries[5]] : 0;
    return options;
}

std::string quizSelectionLine(int chosenTitle, const OptionEntries& entries) {
    std::string line = std::to_string(chosenTitle);
    for (int entry : entries)
        line += "\t" + std::to_string(entry);
    return line;
}

void storeQuizSelectionLine(std::vector<std::string>& settings, const std::string& line) {
    if (settings.empty())
        settings.push_back(line);
    else
        settings.front() = line;
}

QuizWindowLogic::QuizWindowLogic(QuizWindowView& view, Prompter& prompter, std::string startFolder)
    : m_view(view), m_prompter(prompter), m_startFolder(std::move(startFolder)), m_engine(view, prompter) {}

void QuizWindowLogic::Opening() {
    if (m_engine.LoadQuizFile(joinPath(m_startFolder, "RovikQA.TXT")) == -1) {
        if (m_prompter.ask("サンプルデータを読みます", "", Buttons::YesNo, Icon::None) != Answer::Yes) return;
        if (m_engine.LoadQuizFile(joinPath(m_startFolder, "SampleQA.TXT")) == -1) return;
    }
    SelectTitle();
    m_view.setTitleMenuUsable(true);
}

void QuizWindowLogic::OpenText() {
    FileDialogRequest request;
    request.filter = "TXT file (*.txt)|*.TXT";
    std::optional<std::string> path = m_prompter.openFile(request);
    if (!path || !hasExtension(*path, ".txt", ".TXT")) return;
    loadAndSelect(*path);
}

void QuizWindowLogic::OpenPdb() {
    FileDialogRequest request;
    request.filter = "PDB file (*.pdb)|*.PDB";
    std::optional<std::string> path = m_prompter.openFile(request);
    if (!path || !hasExtension(*path, ".pdb", ".PDB")) return;
    const std::string temp = joinPath(m_startFolder, "$temp.txt");
    m_view.setBusy(true);
    m_view.setStatusText("PDBｺﾝﾊﾞｰﾄ中...");
    const PdbReadStatus status = convertPdbFile(*path, temp);
    if (status == PdbReadStatus::Ok) m_view.setStatusText("ﾌｧｲﾙ読み込み中...");
    m_view.setStatusText("");
    m_view.setBusy(false);
    // A failed conversion wrote nothing: loading an older "$temp.txt" would drill the wrong data.
    if (status != PdbReadStatus::Ok) {
        m_prompter.error(pdbReadMessage(status));
        return;
    }
    loadAndSelect(temp);
    // Its runs belong to the database, not to the text it was drilled through.
    m_engine.setSourcePath(*path);
}

void QuizWindowLogic::loadAndSelect(const std::string& path) {
    m_engine.LoadQuizFile(path);
    SelectTitle();
    m_view.setTitleMenuUsable(true);
}

void QuizWindowLogic::SelectTitle() {
    std::vector<std::string> names;
    for (const std::string& name : m_engine.titleNames())
        names.push_back(cp932ToUtf8(name));
    if (std::optional<int> row = m_view.chooseTitle(names)) m_chosenTitle = *row + 1;
    m_engine.LoadTitle(m_chosenTitle);
    if (m_chosenTitle >= 1 && m_chosenTitle <= m_engine.titleCount())
        m_view.setCaption("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - " + cp932ToUtf8(m_engine.titleName(m_chosenTitle)));
}

void QuizWindowLogic::Start(const OptionEntries& entries) {
    m_engine.StartRun(toQuizOptions(entries));
}

void QuizWindowLogic::StartMostMissed(const OptionEntries& entries, const std::vector<QuestionKey>& keys,
                                      int count) {
    m_engine.StartRunOver(m_engine.findQuestions(keys, count), toQuizOptions(entries));
}

} // namespace rovik
