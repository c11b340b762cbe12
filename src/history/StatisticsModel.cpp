#include "history/StatisticsModel.h"

#include "platform/FileIo.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

namespace rovik {
namespace {
constexpr std::int64_t kMinute = 60 * 1000;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;

bool hasCsvExtension(const std::string& path) {
    const std::size_t dot = path.size() >= 4 ? path.size() - 4 : std::string::npos;
    return dot != std::string::npos &&
           (path.compare(dot, 4, ".csv") == 0 || path.compare(dot, 4, ".CSV") == 0);
}

std::string csvOf(const std::vector<AnswerRow>& rows) {
    std::string csv = "started,file,title,question,answer,correct,answered,time_ms\r\n";
    for (const AnswerRow& row : rows)
        csv += row.started + "," + csvField(row.file) + "," + csvField(row.title) + "," +
               csvField(row.answer.question) + "," + csvField(row.answer.answer) + "," +
               (row.answer.right ? "1" : "0") + "," + row.answer.answered + "," +
               std::to_string(row.answer.timeMs) + "\r\n";
    return csv;
}
} // namespace

bool localTimeMsecs(const std::string& text, std::int64_t& msecs) {
    std::tm local{};
    char tail = 0;
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &local.tm_year, &local.tm_mon, &local.tm_mday,
                    &local.tm_hour, &local.tm_min, &local.tm_sec, &tail) != 6)
        return false;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return false;
    msecs = static_cast<std::int64_t>(seconds) * 1000;
    return true;
}

TimeSpan timeSpanOf(const std::vector<AccuracyPoint>& points) {
    TimeSpan span;
    if (points.empty()) return span;
    auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                           [](const auto& a, const auto& b) { return a.msecs < b.msecs; });
    const std::int64_t pad = std::max((high->msecs - low->msecs) / 20, kMinute);
    span.from = low->msecs - pad;
    span.to = high->msecs + pad;
    const std::int64_t width = span.to - span.from;
    span.format = width < kHour        ? "hh:mm:ss"
                  : width < 2 * kDay   ? "M/d hh:mm"
                  : width < 400 * kDay ? "M/d"
                                       : "yyyy/M/d";
    return span;
}

std::string dayLabel(const std::string& day, bool withYear) {
    if (day.size() != 10) return day;
    auto number = [&](std::size_t at, std::size_t length) {
        return std::to_string(std::atoi(day.substr(at, length).c_str()));
    };
    const std::string monthDay = number(5, 2) + "/" + number(8, 2);
    return withYear ? day.substr(0, 4) + "/" + monthDay : monthDay;
}

int countStep(int most) {
    for (std::int64_t power = 1;; power *= 10)
        for (std::int64_t factor : {1, 2, 5})
            if (most <= 5 * factor * power) return static_cast<int>(factor * power);
}

std::string durationText(std::int64_t milliseconds) {
    const std::int64_t seconds = std::max<std::int64_t>(milliseconds, 0) / 1000;
    const std::string h = std::to_string(seconds / 3600), m = std::to_string(seconds / 60 % 60),
                      s = std::to_string(seconds % 60);
    if (seconds >= 3600) return h + "時間" + m + "分";
    if (seconds >= 60) return m + "分" + s + "秒";
    return s + "秒";
}

std::string totalsText(const HistoryTotals& t) {
    return "練習 " + std::to_string(t.runs) + "回　出題 " + std::to_string(t.asked) + "問　正解 " +
           std::to_string(t.right) + "問　不正解 " + std::to_string(t.wrong) + "問　正答率 " +
           accuracyText(t.right, t.asked) + "　練習時間 " + durationText(t.durationMs);
}

StatisticsModel::StatisticsModel(std::string historyPath, std::vector<std::string> titles)
    : m_path(std::move(historyPath)), m_titles(std::move(titles)), m_titlesFromHistory(m_titles.empty()) {}

bool StatisticsModel::open() {
    m_problem.clear();
    if (!m_store.open(m_path)) {
        m_problem = "履歴を読めません。\n" + m_store.error();
        return false;
    }
    if (m_titlesFromHistory) {
        m_titles = m_store.titles();
        if (readFailed()) return false;
    }
    return true;
}

bool StatisticsModel::readFailed() {
    if (!m_store.readFailed()) return false;
    m_problem = "履歴を読めません。\n" + m_store.error();
    clearFigures();
    return true;
}

void StatisticsModel::clearFigures() {
    m_runs.clear();
    m_accuracy.clear();
    m_days.clear();
    m_earlierDays = false;
    m_totals = HistoryTotals{};
    m_ranked.clear();
    m_missed.clear();
}

std::string StatisticsModel::shownTitleName() const {
    return m_shown >= 0 && m_shown < static_cast<int>(m_titles.size())
               ? m_titles[static_cast<size_t>(m_shown)]
               : std::string();
}

bool StatisticsModel::showTitle(int index) {
    clearFigures();
    m_shown = index >= 0 && index < static_cast<int>(m_titles.size()) ? index : -1;
    if (!m_problem.empty() || m_shown < 0) return m_problem.empty();
    const std::vector<std::string> title{shownTitleName()};
    m_runs = m_store.runs(title);
    if (readFailed()) return false;
    m_days = m_store.answersPerDay(title);
    if (readFailed()) return false;
    m_ranked = m_store.mostMissed(title, -1);
    if (readFailed()) return false;
    m_totals = totalsOf(m_runs);
    for (const RunRecord& run : m_runs) {
        AccuracyPoint point{run.started, 0, 0};
        if (run.asked > 0 && localTimeMsecs(run.started, point.msecs)) {
            point.percent = 100.0 * run.right / run.asked;
            m_accuracy.push_back(point);
        }
    }
    std::stable_sort(m_accuracy.begin(), m_accuracy.end(),
                     [](const AccuracyPoint& a, const AccuracyPoint& b) { return a.msecs < b.msecs; });
    if (m_days.size() > static_cast<std::size_t>(kDays)) {
        m_days.erase(m_days.begin(), m_days.end() - kDays);
        m_earlierDays = true;
    }
    m_missed = m_ranked;
    return true;
}

std::vector<std::string> StatisticsModel::dayLabels() const {
    const bool years = !m_days.empty() && m_days.front().day.substr(0, 4) != m_days.back().day.substr(0, 4);
    std::vector<std::string> labels;
    for (const DayCount& day : m_days)
        labels.push_back(dayLabel(day.day, years));
    return labels;
}

void StatisticsModel::sortMissed(MissedColumn column, bool ascending) {
    m_missed = m_ranked;
    auto key = [column](const MissedQuestion& a, const MissedQuestion& b) {
        switch (column) {
        case MissedColumn::Question:
            return a.question < b.question;
        case MissedColumn::Answer:
            return a.answer < b.answer;
        case MissedColumn::Wrong:
            return a.wrong < b.wrong;
        case MissedColumn::LastAnswered:
            return a.lastAnswered < b.lastAnswered;
        }
        return false;
    };
    std::stable_sort(m_missed.begin(), m_missed.end(), [&](const MissedQuestion& a, const MissedQuestion& b) {
        return ascending ? key(a, b) : key(b, a);
    });
}

std::vector<QuestionKey> StatisticsModel::mostMissedKeys() const {
    std::vector<QuestionKey> keys;
    for (const MissedQuestion& q : m_ranked)
        keys.push_back(QuestionKey{q.question, q.answer});
    return keys;
}

bool StatisticsModel::clearShownTitle(Prompter& prompter) {
    if (m_shown < 0 || !m_problem.empty()) return false;
    return removeAfterQuestion(
        prompter,
        "タイトル「" + shownTitleName() +
            "」の練習の履歴を消去します。\n消去した履歴は元に戻せません。よろしいですか？",
        false);
}

bool StatisticsModel::clearAll(Prompter& prompter) {
    if (!m_problem.empty()) return false;
    return removeAfterQuestion(
        prompter,
        "すべてのタイトルの練習の履歴を消去します。\n消去した履歴は元に戻せません。よろしいですか？", true);
}

bool StatisticsModel::removeAfterQuestion(Prompter& prompter, const std::string& question, bool all) {
    if (prompter.ask(question, "確認", Buttons::YesNo, Icon::Question) != Answer::Yes) return false;
    const bool removed = all ? m_store.clearAll() : m_store.clear({shownTitleName()});
    if (!removed) {
        prompter.error("履歴を消去できません。\n" + m_store.error());
        return false;
    }
    const std::string shown = shownTitleName();
    if (m_titlesFromHistory) {
        m_titles = m_store.titles();
        if (readFailed()) return true;
    }
    const auto at = std::find(m_titles.begin(), m_titles.end(), shown);
    showTitle(at != m_titles.end() ? static_cast<int>(at - m_titles.begin()) : (m_titles.empty() ? -1 : 0));
    return true;
}

std::string StatisticsModel::exportCsv(Prompter& prompter) {
    if (m_shown < 0 || !m_problem.empty()) return {};
    const std::vector<AnswerRow> rows = m_store.answerRows({shownTitleName()});
    if (m_store.readFailed()) {
        prompter.error("履歴を読めません。\n" + m_store.error());
        return {};
    }
    if (rows.empty()) {
        prompter.notice("このタイトルには書き出す履歴がありません。");
        return {};
    }
    FileDialogRequest request;
    request.filter = "CSV file (*.csv)|*.CSV";
    request.fileName = "rovik-history.csv";
    request.defaultSuffix = "csv";
    const std::optional<std::string> path = prompter.saveFile(request);
    if (!path) return {};
    if (!hasCsvExtension(*path)) {
        prompter.error("ファイルは .csv を選択してください。", "ﾌｧｲﾙ ｴﾗｰ");
        return {};
    }
    std::string error;
    if (!writeFileAtomically(*path, csvOf(rows), &error)) {
        prompter.error("ファイルが開けません\n" + *path);
        return {};
    }
    return *path;
}

} // namespace rovik
