#include "quiz/QuizEngine.h"

#include "data/Common.h"
#include "data/QaTextFile.h"
#include "data/TextReading.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

#include <map>
#include <utility>

namespace rovik {
namespace {
const char* kCaptionPrefix = "Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - ";

bool contains(const std::string& line, const char* word) {
    return line.find(word) != std::string::npos;
}

// The code item read as "0x" + item: one to eight hexadecimal digits, as a signed 32-bit value.
bool readCodeValue(const std::string& item, std::int32_t& value) {
    if (item.empty() || item.size() > 8) return false;
    std::uint32_t v = 0;
    for (char c : item) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        v = v * 16 + static_cast<std::uint32_t>(digit);
    }
    value = static_cast<std::int32_t>(v);
    return true;
}

// Category A is the code value divided by 16, category B the remainder (both truncated).
bool categoryMatches(int entry, int highest, std::int32_t category) {
    if (entry == 0) return true;
    return entry >= 1 && entry <= highest && category == entry;
}
} // namespace

QuizEngine::QuizEngine(QuizView& view, Prompter& prompter, QuizGenerator& generator)
    : m_view(view), m_prompter(prompter), m_generator(generator), m_titles(1) {}

int QuizEngine::LoadQuizFile(const std::string& path, EncodingChoice choice) {
    TextRead read = readQaText(path, choice);
    if (read.status == TextReadStatus::Unreadable) {
        m_prompter.ask(path, "ファイルが開けません", Buttons::Ok, Icon::None);
        return -1;
    }
    if (read.status == TextReadStatus::Unmappable) {
        m_prompter.ask(unmappableMessage(read.log), "ファイルが開けません", Buttons::Ok, Icon::Error);
        return -1;
    }
    return LoadQuizLines(std::move(read.lines), path);
}

int QuizEngine::LoadQuizLines(std::vector<std::string> lines, const std::string& path) {
    if (m_running) StopRun();
    std::vector<std::string>().swap(m_lines);
    m_lineNumbers.clear();
    m_lineNumbers.reserve(lines.size());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int kind = ClassifyQuizLine(lines[i] + "\n");
        if (kind == -2 || kind == -99) continue;
        if (kept != i) lines[kept] = std::move(lines[i]);
        ++kept;
        m_lineNumbers.push_back(static_cast<int>(i) + 1);
    }
    lines.resize(kept);
    m_lines = std::move(lines);
    // Marks stay under their line positions across files; only new positions start at 0.
    if (m_marks.size() < m_lines.size()) m_marks.resize(m_lines.size(), 0);
    // The old title's questions point into the old lines: a title must be chosen again.
    m_questions.clear();
    m_order.clear();
    m_only.clear();
    m_runOver = false;
    m_N = 0;
    ScanTitles();
    m_sourcePath = path;
    m_view.setCaption(kCaptionPrefix + fileNameOf(path));
    return 0;
}

void QuizEngine::ScanTitles() {
    m_titles.assign(1, Range{0, static_cast<int>(m_lines.size()) - 1});
    for (int i = 0; i < static_cast<int>(m_lines.size()); ++i) {
        if (!contains(m_lines[static_cast<size_t>(i)], "tTitle")) continue;
        m_titles.back().last = i - 1;
        m_titles.push_back(Range{i + 1, static_cast<int>(m_lines.size()) - 1});
    }
    if (titleCount() == 0)
        m_prompter.ask("ﾌｧｲﾙを読み込んでいないか、ﾃﾞｰﾀにﾀｲﾄﾙがありません。", "確認", Buttons::Ok,
                       Icon::Error);
}

std::string QuizEngine::titleName(int t) const {
    if (t < 1 || t > titleCount()) return {};
    return ItemText(m_lines[static_cast<size_t>(m_titles[static_cast<size_t>(t)].first - 1)], kTab, 2);
}

std::vector<std::string> QuizEngine::titleNames() const {
    std::vector<std::string> names;
    for (int t = 1; t <= titleCount(); ++t)
        names.push_back(titleName(t));
    return names;
}

void QuizEngine::LoadTitle(int t) {
    if (m_running) StopRun();
    m_view.setBusy(true);
    m_questions.clear();
    m_order.clear();
    m_only.clear();
    m_runOver = false;
    m_N = 0;
    m_loadedTitle = t;
    std::vector<std::string> namesA, namesB;
    int skipped = 0, firstSkipped = 0;
    bool truncated = false;
    if (t >= 0 && t <= titleCount()) {
        const Range range = m_titles[static_cast<size_t>(t)];
        for (int i = range.first; i <= range.last; ++i) {
            const std::string& line = m_lines[static_cast<size_t>(i)];
            if (contains(line, "tTitle")) continue;
            if (contains(line, "dBunrui")) {
                namesA.push_back(cp932ToUtf8(ItemText(line, kTab, 2)));
            } else if (contains(line, "sBunrui")) {
                namesB.push_back(cp932ToUtf8(ItemText(line, kTab, 2)));
            } else {
                if (questionCount() == kMaxQuestions) {
                    truncated = true;
                    break;
                }
                std::int32_t code = 0;
                if (!readCodeValue(ItemText(line, kTab, 1), code)) {
                    if (skipped++ == 0) firstSkipped = m_lineNumbers[static_cast<size_t>(i)];
                    continue;
                }
                m_questions.push_back(Question{code, i});
            }
        }
    }
    m_view.setBusy(false);
    m_view.setCategoryEntries(namesA, namesB);
    m_view.resetOptions();
    m_state = QuizState::TitleLoaded;
    m_view.setAreaText(QuizArea::Answer, "");
    m_view.setAreaText(QuizArea::Reference, "");
    if (skipped > 0) reportSkipped(skipped, firstSkipped);
    if (truncated)
        m_prompter.ask("このタイトルには" + std::to_string(kMaxQuestions) +
                           "問を超える問題があります。\n最初の" + std::to_string(kMaxQuestions) +
                           "問だけを出題します。",
                       "確認", Buttons::Ok, Icon::Information);
}

void QuizEngine::reportSkipped(int count, int firstLineNumber) {
    m_prompter.ask("第１項目が16進数でない問題を読み飛ばしました。\n" + std::to_string(count) + "件（最初は" +
                       std::to_string(firstLineNumber) + "行目）",
                   "確認", Buttons::Ok, Icon::Warning);
}

int QuizEngine::mark(int linePosition) const {
    if (linePosition < 0 || static_cast<size_t>(linePosition) >= m_marks.size()) return 0;
    return m_marks[static_cast<size_t>(linePosition)];
}

int QuizEngine::questionLine(int q) const {
    if (q < 1 || q > questionCount()) return -1;
    return m_questions[static_cast<size_t>(q - 1)].line;
}

QuestionKey QuizEngine::questionKey(int q) const {
    const std::string& record = recordOf(q);
    return QuestionKey{cp932ToUtf8(ItemText(record, kTab, 2)), cp932ToUtf8(ItemText(record, kTab, 3))};
}

std::vector<int> QuizEngine::findQuestions(const std::vector<QuestionKey>& keys, int limit) const {
    // The first record with a key stands for it: the history cannot tell two equal records apart.
    std::map<std::pair<std::string, std::string>, int> numbers;
    for (int q = questionCount(); q >= 1; --q) {
        QuestionKey key = questionKey(q);
        numbers[{std::move(key.question), std::move(key.answer)}] = q;
    }
    std::vector<int> found;
    for (const QuestionKey& key : keys) {
        if (static_cast<int>(found.size()) >= limit) break;
        auto it = numbers.find({key.question, key.answer});
        if (it == numbers.end() || it->second == 0) continue;
        found.push_back(it->second);
        it->second = 0; // each question once
    }
    return found;
}

int QuizEngine::orderEntry(int position) const {
    if (position < 1 || static_cast<size_t>(position) > m_order.size()) return 0;
    return m_order[static_cast<size_t>(position - 1)];
}

const std::string& QuizEngine::recordOf(int question) const {
    static const std::string none;
    int line = questionLine(question);
    return line < 0 ? none : m_lines[static_cast<size_t>(line)];
}

std::int32_t& QuizEngine::markOf(int question) {
    static std::int32_t sink = 0;
    int line = questionLine(question);
    if (line < 0) return sink = 0;
    return m_marks[static_cast<size_t>(line)];
}

void QuizEngine::StartRunOver(std::vector<int> questions, const QuizOptions& options) {
    QuizOptions over = options;
    over.categoryA = 0;
    over.categoryB = 0;
    over.wrongOnly = false;
    m_only = std::move(questions);
    m_runOver = true;
    startRun(over);
}

void QuizEngine::StartRun(const QuizOptions& options) {
    m_only.clear();
    m_runOver = false;
    startRun(options);
}

void QuizEngine::startRun(const QuizOptions& options) {
    m_options = options;
    if (m_options.chunkSize < 0) m_options.chunkSize = 0;
    m_view.setRunControlsUsable(false);
    m_S = 0;
    BuildSelection();
    if (m_N == 0) {
        m_prompter.ask("問題がありません", "", Buttons::Ok, Icon::None);
        goIdle();
        return;
    }
    m_running = true;
    if (m_recorder)
        m_recorder->runStarted(QuizRunInfo{m_sourcePath, cp932ToUtf8(titleName(m_loadedTitle)), &m_options});
    ShowNext();
}

void QuizEngine::BuildSelection() {
    if (m_S > 0 && splitting()) {
        if (!m_lastChunk) {
            NextChunk();
            return;
        }
        // The last chunk is done: there is no chunk beyond the selection, so start again
        // from a fresh selection, as a run without splitting does.
        m_S = 0;
    }
    m_order.clear();
    int from = 1;
    while (from <= questionCount() && m_questions[static_cast<size_t>(from - 1)].code < 10)
        ++from;
    if (m_runOver) {
        for (int q : m_only)
            if (q >= from && q <= questionCount()) m_order.push_back(q);
    } else {
        for (int q = from; q <= questionCount(); ++q) {
            const std::int32_t code = m_questions[static_cast<size_t>(q - 1)].code;
            if (m_options.wrongOnly && markOf(q) < 1) continue;
            if (!categoryMatches(m_options.categoryA, 30, code / 16)) continue;
            if (!categoryMatches(m_options.categoryB, 15, code % 16)) continue;
            m_order.push_back(q);
        }
    }
    m_N = static_cast<int>(m_order.size());
    if (m_options.random) ShuffleOrder(m_N);
    if (splitting()) {
        NextChunk();
        return;
    }
    m_S = 1;
    m_P = 0;
    m_E = 0;
    m_state = QuizState::FirstPassPending;
}

void QuizEngine::NextChunk() {
    m_lastChunk = false;
    if (m_S <= 0) {
        m_R = m_N;
        m_S = 1;
    } else {
        m_S += m_options.chunkSize;
    }
    if (m_R <= m_options.chunkSize) {
        m_N = m_R;
        m_lastChunk = true;
    } else {
        m_N = m_options.chunkSize;
        m_R -= m_options.chunkSize;
    }
    m_P = m_S - 1;
    m_E = m_S - 1;
    m_state = QuizState::FirstPassPending;
}

void QuizEngine::ShuffleOrder(int n) {
    for (int i = 1; i <= n; ++i) {
        int k = m_generator.next() % n + 1;
        std::swap(m_order[static_cast<size_t>(k - 1)], m_order[static_cast<size_t>(i - 1)]);
    }
}

void QuizEngine::ShowNext() {
    for (;;) {
        m_view.setAnswerButtons(false, false, false);
        m_view.setAreaText(QuizArea::Progress, "");
        m_view.setAreaText(QuizArea::Question, "");
        m_view.setAreaText(QuizArea::Answer, "");
        if (m_state == QuizState::QuestionShown) return;
        if (m_state == QuizState::FirstPassPending) m_P = m_S - 1;
        if (m_state == QuizState::RetryPassPending) m_E = m_S - 1;
        if (m_P >= m_S + m_N - 1) {
            if (EndOfPass()) continue;
            return;
        }
        ++m_P;
        const std::string& record = recordOf(orderEntry(m_P));
        m_view.setAreaText(QuizArea::Progress,
                           "(" + std::to_string(m_P - m_S + 1) + "/" + std::to_string(m_N) + ")");
        m_view.setAreaText(QuizArea::Question,
                           cp932ToUtf8(ItemText(record, kTab, m_options.reverse ? 3 : 2)));
        m_view.setAreaText(QuizArea::Answer, "");
        m_view.setAreaText(QuizArea::Reference, "");
        m_state = QuizState::QuestionShown;
        m_view.setAnswerButtons(true, false, false);
        if (m_recorder) m_recorder->questionShown();
        return;
    }
}

bool QuizEngine::EndOfPass() {
    m_view.setAreaText(QuizArea::Question, "");
    m_view.setAreaText(QuizArea::Answer, "");
    m_view.setAreaText(QuizArea::Reference, "");
    const int wrong = m_E - m_S + 1;
    m_N = wrong;
    if (wrong > 0) {
        m_state = QuizState::RetryPassPending;
        m_P = m_S - 1;
        m_E = m_S - 1;
        Answer again =
            m_prompter.ask(std::to_string(wrong) + "問不正解です。\n不正解の問題をもう一度やりますか？", "",
                           Buttons::YesNo, Icon::None);
        if (again == Answer::Yes) return true;
        // Declining the retry of the last chunk ends the run: there is no chunk beyond it.
        if (splitting() && !m_lastChunk) return nextSelection();
        StopRun();
        return false;
    }
    if (splitting() && !m_lastChunk) {
        if (m_prompter.ask("続けますか？\n\nはい  ：次の出題\nいいえ：終了する", "全問正解", Buttons::YesNo,
                           Icon::None) == Answer::Yes)
            return nextSelection();
        StopRun();
        return false;
    }
    if (m_prompter.ask("終了しますか？", "全問正解", Buttons::YesNo, Icon::None) == Answer::Yes) {
        StopRun();
        return false;
    }
    return nextSelection();
}

bool QuizEngine::nextSelection() {
    BuildSelection();
    // 誤答のみ after every mark was cleared selects nothing: asking "終了しますか？" again would loop.
    if (m_N > 0) return true;
    StopRun();
    return false;
}

void QuizEngine::ShowAnswer() {
    if (!m_running) return;
    if (m_N == 0) {
        m_prompter.ask("問題がありません", "", Buttons::Ok, Icon::None);
        goIdle();
        return;
    }
    if (m_state != QuizState::QuestionShown && m_state != QuizState::AnswerShown) return;
    const std::string& record = recordOf(orderEntry(m_P));
    m_view.setAreaText(QuizArea::Answer, cp932ToUtf8(ItemText(record, kTab, m_options.reverse ? 2 : 3)));
    m_view.setAreaText(QuizArea::Reference, cp932ToUtf8(ItemText(record, kTab, 4)));
    m_state = QuizState::AnswerShown;
    m_view.setAnswerButtons(false, true, true);
}

void QuizEngine::MarkCorrect() {
    if (!m_running || m_state != QuizState::AnswerShown) return;
    markOf(orderEntry(m_P)) = 0;
    recordAnswer(true);
    ShowNext();
}

void QuizEngine::MarkIncorrect() {
    if (!m_running || m_state != QuizState::AnswerShown) return;
    if (m_P < 1 || static_cast<size_t>(m_P) > m_order.size() || m_E >= m_P) return;
    // Wrong answers collect at the front of the pass, over entries already asked (E < P here).
    ++m_E;
    m_order[static_cast<size_t>(m_E - 1)] = m_order[static_cast<size_t>(m_P - 1)];
    ++markOf(orderEntry(m_P));
    recordAnswer(false);
    ShowNext();
}

void QuizEngine::recordAnswer(bool right) {
    if (!m_recorder) return;
    // The entry judged: after 不正解 it was copied to the front of the pass, so read it at P.
    const QuestionKey key = questionKey(orderEntry(m_P));
    m_recorder->answered(key.question, key.answer, right);
}

void QuizEngine::StopRun() {
    m_view.setAnswerButtons(false, false, false);
    clearAreas();
    m_lastChunk = false;
    m_S = 0;
    goIdle();
}

void QuizEngine::goIdle() {
    if (m_running && m_recorder) m_recorder->runEnded();
    m_running = false;
    m_view.setRunControlsUsable(true);
    m_view.setAnswerButtons(false, false, false);
}

void QuizEngine::clearAreas() {
    for (QuizArea area : {QuizArea::Progress, QuizArea::Question, QuizArea::Answer, QuizArea::Reference})
        m_view.setAreaText(area, "");
}

} // namespace rovik
