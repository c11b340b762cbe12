#include "cli/Cli.h"

#include "history/HistoryFigures.h"
#include "history/HistoryStore.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"
#include "quiz/QuizEngine.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli stats FILE [--title N] [--csv]\n"
    "\n"
    "Prints what the quiz history holds for the titles of a QA text file (title N only, with\n"
    "--title): each run with its date and time, questions asked, right, wrong and accuracy; the\n"
    "answers per day; the totals; and the most-missed questions. Runs are found by their title's\n"
    "name, so a renamed or moved file keeps its history.\n"
    "\n"
    "  --csv   one row per run (date and time in ISO form) and a last row of totals\n"
    "\n"
    "exit status: 0 printed; 2 FILE unreadable, no title N, no history or bad arguments\n";

constexpr int kMostMissed = 10;

class ErrorPrompter : public Prompter {
public:
    explicit ErrorPrompter(std::ostream& err) : m_err(err) {}
    Answer ask(const std::string& text, const std::string& caption, Buttons, Icon) override {
        m_err << "rovik-cli: " << (caption.empty() ? "" : caption + ": ") << text << "\n";
        return Answer::Ok;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }

private:
    std::ostream& m_err;
};

void printCsv(const std::vector<RunRecord>& runs, std::ostream& out) {
    out << "started,file,title,asked,right,wrong,accuracy,duration_ms\n";
    for (const RunRecord& run : runs)
        out << run.started << "," << csvField(run.file) << "," << csvField(run.title) << "," << run.asked
            << "," << run.right << "," << run.wrong << "," << accuracyText(run.right, run.asked) << ","
            << run.durationMs << "\n";
    const HistoryTotals t = totalsOf(runs);
    out << "total,,," << t.asked << "," << t.right << "," << t.wrong << "," << accuracyText(t.right, t.asked)
        << "," << t.durationMs << "\n";
}

void printText(HistoryStore& store, const std::vector<std::string>& titles, std::ostream& out) {
    const std::vector<RunRecord> runs = store.runs(titles);
    out << "runs:\n";
    for (const RunRecord& run : runs)
        out << "  " << run.started << "  " << run.title << "  asked " << run.asked << ", right " << run.right
            << ", wrong " << run.wrong << ", accuracy " << accuracyText(run.right, run.asked) << "\n";
    out << "answers per day:\n";
    for (const DayCount& day : store.answersPerDay(titles))
        out << "  " << day.day << "  " << day.answers << "\n";
    const HistoryTotals t = totalsOf(runs);
    out << "totals: " << t.runs << " runs, asked " << t.asked << ", right " << t.right << ", wrong "
        << t.wrong << ", accuracy " << accuracyText(t.right, t.asked) << "\n";
    out << "most missed:\n";
    for (const MissedQuestion& q : store.mostMissed(titles, kMostMissed))
        out << "  wrong " << q.wrong << " of " << q.asked << ", last " << q.lastAnswered << "  " << q.question
            << " → " << q.answer << "\n";
}

int runStats(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    std::string file;
    int title = 0;
    bool csv = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--title" && i + 1 < args.size()) {
            const std::string& n = args[++i];
            if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos) {
                err << kUsage;
                return 2;
            }
            title = std::stoi(n);
            if (title < 1) {
                err << kUsage;
                return 2;
            }
        } else if (arg == "--csv") {
            csv = true;
        } else if (file.empty() && !arg.empty() && arg[0] != '-') {
            file = arg;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (file.empty()) {
        err << kUsage;
        return 2;
    }
    SilentQuizView view;
    ErrorPrompter prompter(err);
    QuizEngine engine(view, prompter);
    if (engine.LoadQuizFile(file) != 0) return 2;
    if (title > engine.titleCount()) {
        err << "rovik-cli: " << file << " has no title " << title << " (titles: " << engine.titleCount()
            << ")\n";
        return 2;
    }
    std::vector<std::string> titles;
    for (int t = title ? title : 1; t <= (title ? title : engine.titleCount()); ++t)
        titles.push_back(cp932ToUtf8(engine.titleName(t)));
    HistoryStore store;
    if (!store.open(defaultHistoryPath())) {
        err << "rovik-cli: no history: " << store.error() << "\n";
        return 2;
    }
    if (!store.setAsideNote().empty()) err << "rovik-cli: " << store.setAsideNote() << "\n";
    if (csv)
        printCsv(store.runs(titles), out);
    else
        printText(store, titles, out);
    return 0;
}

} // namespace

const Command& statsCommand() {
    static const Command command{"stats", "print the quiz history of a QA text file's titles", kUsage,
                                 runStats};
    return command;
}

} // namespace rovik::cli
