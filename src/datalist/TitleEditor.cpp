#include "datalist/TitleEditor.h"

#include "data/Common.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "datalist/ClipboardCommands.h"
#include "datalist/DataListLogic.h"
#include "datalist/RecordEditor.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace rovik {
namespace {
constexpr int kDefaultLineCount = 3;
constexpr int kMaxLineSum = 9;

int lineCountItem(const std::string& header, int n) {
    if (CountItems(header, kTab) < n) return kDefaultLineCount;
    return lineCountOf(ItemText(header, kTab, n)).value_or(kDefaultLineCount);
}

std::string trimSpaces(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string()
                                      : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void fillNames(std::array<std::string, kCategoryBoxes>& boxes, const std::vector<std::string>& names) {
    for (size_t k = 0; k < boxes.size() && k < names.size(); ++k)
        boxes[k] = cp932ToUtf8(names[k]);
}

// The non-empty boxes' names as category lines, closed up in box order.
void appendCategoryLines(const char* keyword, const std::array<std::string, kCategoryBoxes>& boxes,
                         std::vector<std::string>& lines, std::string& unmappable) {
    for (const auto& box : boxes) {
        if (box.empty()) continue;
        Cp932Encoding name = utf8ToCp932(recordItemText(box));
        unmappable += name.unmappable;
        lines.push_back(std::string(keyword) + "\t" + name.bytes);
    }
}
// The selected title's category names of one kind, in code order, from its own lines.
std::vector<std::string> titleCategoryNames(const QuestionSet& set, CategoryBox kind) {
    std::vector<std::string> names;
    const TitleRange& range = set.title(set.selectedTitle);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, set.lines.size());
    for (size_t i = static_cast<size_t>(range.start); i < end; ++i)
        if (kind == CategoryBox::A ? isCategoryALine(set.lines[i]) : isCategoryBLine(set.lines[i]))
            names.push_back(ItemText(set.lines[i], kTab, 2));
    return names;
}

// How many of the selected title's records use category code `code` of one kind.
int recordsUsing(const QuestionSet& set, CategoryBox kind, int code) {
    int count = 0;
    const TitleRange& range = set.title(set.selectedTitle);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, set.lines.size());
    for (size_t i = static_cast<size_t>(range.start); i < end; ++i) {
        const std::string& line = set.lines[i];
        if (isHeaderLine(line) || isCommentLine(line)) continue;
        const std::optional<int> value = recordCode(ItemText(line, kTab, 1));
        if (value && (kind == CategoryBox::A ? *value / 16 : *value % 16) == code) ++count;
    }
    return count;
}
} // namespace

std::optional<int> lineCountOf(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(' ');
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    int value = 0;
    auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || begin == end) return std::nullopt;
    return value;
}

void limitLineCounts(int& questionLines, int& answerLines) {
    if (static_cast<long long>(questionLines) + answerLines <= kMaxLineSum) return;
    if (questionLines < answerLines)
        answerLines = kMaxLineSum - questionLines;
    else
        questionLines = kMaxLineSum - answerLines;
}

TitleEditor::TitleEditor(DataListLogic& logic, Prompter& prompter) : m_logic(logic), m_prompter(prompter) {}

bool TitleEditor::canOpen() const {
    const QuestionSet& set = m_logic.set();
    return set.selectedTitle >= 1 && set.selectedTitle <= set.titleCount() &&
           static_cast<size_t>(set.title(set.selectedTitle).start - 1) < set.lines.size();
}

TitleFields TitleEditor::FormCreate() const {
    TitleFields fields;
    if (!canOpen()) return fields;
    const QuestionSet& set = m_logic.set();
    const std::string& header = set.lines[static_cast<size_t>(set.title(set.selectedTitle).start - 1)];
    fields.title = cp932ToUtf8(ItemText(header, kTab, 2));
    fields.questionLines = std::to_string(lineCountItem(header, 3));
    fields.answerLines = std::to_string(lineCountItem(header, 4));
    // The names come from the title's own lines: the shown copy may be stale, and boxes left
    // empty by mistake would drop categories at 登録.
    const std::vector<std::string> namesA = titleCategoryNames(set, CategoryBox::A);
    const std::vector<std::string> namesB = titleCategoryNames(set, CategoryBox::B);
    fillNames(fields.categoryA, namesA);
    fillNames(fields.categoryB, namesB);
    return fields;
}

// The later names close up over an emptied box while records keep their codes, so the records of
// an emptied category would silently name another one: the user decides.
bool TitleEditor::confirmClearedCategories(const TitleFields& fields) {
    const QuestionSet& set = m_logic.set();
    for (CategoryBox kind : {CategoryBox::A, CategoryBox::B}) {
        const auto& boxes = kind == CategoryBox::A ? fields.categoryA : fields.categoryB;
        const std::vector<std::string> names = titleCategoryNames(set, kind);
        for (size_t k = 0; k < names.size() && k < boxes.size(); ++k) {
            if (!recordItemText(boxes[k]).empty()) continue;
            const int count = recordsUsing(set, kind, static_cast<int>(k) + 1);
            if (count == 0) continue;
            const std::string question = std::string(kind == CategoryBox::A ? "分類A " : "分類B ") +
                                         std::to_string(k + 1) + "（" + cp932ToUtf8(names[k]) +
                                         "）を使っているレコードが " + std::to_string(count) +
                                         " 件あります。これらのレコードは別の分類になります。登録しますか？";
            if (m_prompter.ask(question, "確認", Buttons::YesNo, Icon::Question) != Answer::Yes) return false;
        }
    }
    return true;
}

bool TitleEditor::RegisterTitleAndCategories(TitleFields& fields) {
    std::optional<int> questionLines = lineCountOf(fields.questionLines);
    std::optional<int> answerLines = lineCountOf(fields.answerLines);
    if (!questionLines || !answerLines) {
        m_prompter.ask("質問行数と解答行数は数字で入力してください。", "確認", Buttons::Ok, Icon::Error);
        return false;
    }
    if (!canOpen()) return false;
    if (recordItemText(fields.title).empty()) {
        m_prompter.ask("タイトルを入力してください。", "確認", Buttons::Ok, Icon::Warning);
        return false;
    }
    // Counts within the limit are stored as typed; only reduced ones are rewritten.
    const int typedQuestion = *questionLines;
    const int typedAnswer = *answerLines;
    limitLineCounts(*questionLines, *answerLines);
    const std::string questionText =
        *questionLines == typedQuestion ? trimSpaces(fields.questionLines) : std::to_string(*questionLines);
    const std::string answerText =
        *answerLines == typedAnswer ? trimSpaces(fields.answerLines) : std::to_string(*answerLines);

    Cp932Encoding title = utf8ToCp932(recordItemText(fields.title));
    std::string unmappable = title.unmappable;
    std::vector<std::string> block{"tTitle\t" + title.bytes + "\t" + questionText + "\t" + answerText};
    appendCategoryLines("dBunrui", fields.categoryA, block, unmappable);
    appendCategoryLines("sBunrui", fields.categoryB, block, unmappable);
    if (!unmappable.empty()) {
        m_prompter.ask("「" + unmappable + "」はShift-JISにない文字のため、登録できません。", "確認",
                       Buttons::Ok, Icon::Warning);
        return false;
    }

    // Empty names after the clean-up, say, would give category lines loading refuses.
    const size_t headerAt = static_cast<size_t>(m_logic.set().title(m_logic.set().selectedTitle).start - 1);
    for (size_t i = 0; i < block.size(); ++i) {
        std::vector<std::string> problems = lineProblems(block[i]);
        if (problems.empty()) continue;
        m_prompter.ask(editRefusalText(headerAt + i, block[i], problems), "確認", Buttons::Ok, Icon::Warning);
        return false;
    }

    if (!confirmClearedCategories(fields)) return false;

    fields.questionLines = questionText;
    fields.answerLines = answerText;

    // Only the title's category lines give way; comment lines and records keep their order.
    QuestionSet& set = m_logic.set();
    const TitleRange range = set.title(set.selectedTitle);
    const size_t first = static_cast<size_t>(range.start - 1);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, set.lines.size());
    for (size_t i = first + 1; i < end; ++i)
        if (!isCategoryALine(set.lines[i]) && !isCategoryBLine(set.lines[i])) block.push_back(set.lines[i]);
    const StepStart start = m_logic.startStep();
    std::vector<std::string> replaced(set.lines.begin() + static_cast<std::ptrdiff_t>(first),
                                      set.lines.begin() + static_cast<std::ptrdiff_t>(end));
    set.lines.erase(set.lines.begin() + static_cast<std::ptrdiff_t>(first),
                    set.lines.begin() + static_cast<std::ptrdiff_t>(end));
    set.lines.insert(set.lines.begin() + static_cast<std::ptrdiff_t>(first), block.begin(), block.end());

    set.saved = false;
    const int selected = set.selectedTitle;
    RebuildTitleIndex(set);
    ReloadShownBlock(set);
    set.shown.name = title.bytes;
    m_logic.FillRecordGrid();
    m_logic.FillTitleList();
    m_logic.selectTitleRow(selected - 1);
    m_logic.finishStep(start, "ﾀｲﾄﾙ・分類登録", first, std::move(replaced), std::move(block));
    return true;
}

} // namespace rovik
