#include "cli/Cli.h"
#include "cli/QaTextInput.h"

#include "data/QaTextFile.h"
#include "pdb/PdbReader.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "quiz/QuizEngine.h"
#ifdef ROVIK_HISTORY
#include "history/HistoryRecorder.h"
#endif

#include <filesystem>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <random>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli quiz FILE --title N [--category-a K] [--category-b K] [--reverse] [--random]\n"
    "                      [--wrong-only] [--chunk 5|10|15|20] [--encoding auto|cp932|utf-8]\n"
    "                      [--no-history]\n"
    "\n"
    "Drills title N (from 1) of a QA text file, or of a PDB converted to text first, with the\n"
    "desktop quiz's rules. Each question is printed as \"(P/N) QUESTION\"; enter any line to see\n"
    "the answer and the reference (\"参考：\"), then \"y\" for 正解 or \"n\" for 不正解. The quiz's\n"
    "questions are answered with \"y\" or \"n\". The end of input stops the run.\n"
    "\n"
    "  --category-a K, --category-b K   only category code K (0, the default, takes all)\n"
    "  --reverse      ask the answer, show the question (逆質問)\n"
    "  --random       random order; the same order in every run\n"
    "  --wrong-only   only questions with a wrong mark (誤答のみ); marks live as long as one run\n"
    "                 of the tool, so a run that starts with it finds no question\n"
    "  --chunk K      ask K questions at a time\n"
    "  --encoding E   how a text FILE is read: auto (the default: UTF-8 when it starts with a byte\n"
    "                 order mark or is valid UTF-8 holding a non-ASCII character, else Shift-JIS),\n"
    "                 cp932 or utf-8; characters CP932 cannot hold refuse the file\n"
    "  --no-history   keep no record of the run (by default each judged answer goes to the\n"
    "                 history in $XDG_DATA_HOME/rovik/history.sqlite, which 'stats' reads;\n"
    "                 a history that cannot be written is said once and the run goes on)\n"
    "\n"
    "exit status: 0 the run ended or the input did; 2 FILE unreadable, no title N or bad arguments\n";

class TerminalView : public QuizView {
public:
    void setAreaText(QuizArea area, const std::string& text) override { texts[area] = text; }
    void setAnswerButtons(bool, bool, bool) override {}
    void setRunControlsUsable(bool) override {}
    void setCategoryEntries(const std::vector<std::string>&, const std::vector<std::string>&) override {}
    void resetOptions() override {}
    void setCaption(const std::string&) override {}
    void setBusy(bool) override {}
    std::map<QuizArea, std::string> texts;
};

// Messages go to the terminal; questions are answered by an input line "y" or "n".
class TerminalPrompter : public Prompter {
public:
    TerminalPrompter(std::istream& in, std::ostream& out, std::ostream& err)
        : m_in(in), m_out(out), m_err(err) {}

    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon) override {
        if (m_loading) {
            m_err << "rovik-cli: " << (caption.empty() ? "" : caption + ": ") << text << "\n";
            return Answer::Ok;
        }
        if (!caption.empty()) m_out << caption << "\n";
        m_out << text << "\n";
        if (buttons == Buttons::Ok) return Answer::Ok;
        bool yes = false;
        // At the end of input the run stops after this question, whatever it answers.
        return readYesNo(yes) && yes ? Answer::Yes : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }

    // Reads a line; false at the end of input.
    bool readLine(std::string& line) {
        if (m_ended || !std::getline(m_in, line)) {
            m_ended = true;
            return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    bool readYesNo(bool& yes) {
        std::string line;
        while (readLine(line)) {
            if (line == "y" || line == "n") {
                yes = line == "y";
                return true;
            }
            m_out << "y か n を入力してください。\n";
        }
        return false;
    }
    bool ended() const { return m_ended; }
    void setLoading(bool loading) { m_loading = loading; }

private:
    std::istream& m_in;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_loading = false;
    bool m_ended = false;
};

// A folder of our own for the converted PDB, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        std::error_code ec;
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            auto path = std::filesystem::temp_directory_path(ec) / ("rovik-cli-" + std::to_string(random()));
            if (std::filesystem::create_directory(path, ec)) m_path = pathText(path);
        }
    }
    ~ScratchFolder() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(nativePath(m_path), ec);
    }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

struct QuizArgs {
    std::string file;
    int title = -1;
    QuizOptions options;
    EncodingChoice encoding = EncodingChoice::Auto;
    bool history = true;
};

bool readNumber(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return true;
}

bool parseArgs(const Args& args, QuizArgs& parsed) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--title" && hasValue) {
            if (!readNumber(args[++i], parsed.title)) return false;
        } else if (arg == "--category-a" && hasValue) {
            if (!readNumber(args[++i], parsed.options.categoryA)) return false;
        } else if (arg == "--category-b" && hasValue) {
            if (!readNumber(args[++i], parsed.options.categoryB)) return false;
        } else if (arg == "--chunk" && hasValue) {
            int& size = parsed.options.chunkSize;
            if (!readNumber(args[++i], size) || (size != 5 && size != 10 && size != 15 && size != 20))
                return false;
        } else if (arg == "--encoding" && hasValue) {
            if (!parseEncodingChoice(args[++i], parsed.encoding)) return false;
        } else if (arg == "--reverse") {
            parsed.options.reverse = true;
        } else if (arg == "--random") {
            parsed.options.random = true;
        } else if (arg == "--wrong-only") {
            parsed.options.wrongOnly = true;
        } else if (arg == "--no-history") {
            parsed.history = false;
        } else if (parsed.file.empty() && !arg.empty() && arg[0] != '-') {
            parsed.file = arg;
        } else {
            return false;
        }
    }
    return !parsed.file.empty() && parsed.title >= 0;
}

void drill(QuizEngine& engine, TerminalView& view, TerminalPrompter& prompter, std::ostream& out) {
    while (engine.running() && !prompter.ended()) {
        if (engine.state() != QuizState::QuestionShown) break;
        out << view.texts[QuizArea::Progress] << " " << view.texts[QuizArea::Question] << "\n";
        std::string line;
        if (!prompter.readLine(line)) break;
        engine.ShowAnswer();
        out << view.texts[QuizArea::Answer] << "\n"
            << "参考：" << view.texts[QuizArea::Reference] << "\n";
        bool right = false;
        if (!prompter.readYesNo(right)) break;
        right ? engine.MarkCorrect() : engine.MarkIncorrect();
    }
    if (engine.running()) engine.StopRun();
}

int runQuiz(const Args& args, std::istream& in, std::ostream& out, std::ostream& err) {
    QuizArgs parsed;
    if (!parseArgs(args, parsed)) {
        err << kUsage;
        return 2;
    }
    std::string textPath = parsed.file;
    EncodingChoice encoding = parsed.encoding;
    ScratchFolder scratch;
    if (hasPdbExtension(parsed.file)) {
        encoding = EncodingChoice::Cp932; // the records' bytes, whatever they look like
        // As the quiz window does: the database is drilled through a temporary text file.
        textPath = joinPath(scratch.path(), "$temp.txt");
        std::string reason;
        PdbReadStatus status = scratch.path().empty() ? PdbReadStatus::CannotWriteText
                                                      : convertPdbFile(parsed.file, textPath, &reason);
        if (status != PdbReadStatus::Ok) {
            err << "rovik-cli: " << parsed.file << ": " << pdbReadMessage(status);
            if (!reason.empty()) err << " (" << reason << ")";
            err << "\n";
            return 2;
        }
    }
    TerminalView view;
    TerminalPrompter prompter(in, out, err);
    QuizGenerator generator; // fresh in every run, as at program start
    QuizEngine engine(view, prompter, generator);
    prompter.setLoading(true);
    if (engine.LoadQuizFile(textPath, encoding) != 0) return 2;
    if (parsed.title < 1 || parsed.title > engine.titleCount()) {
        err << "rovik-cli: " << parsed.file << " has no title " << parsed.title
            << " (titles: " << engine.titleCount() << ")\n";
        return 2;
    }
    engine.LoadTitle(parsed.title);
    prompter.setLoading(false);
#ifdef ROVIK_HISTORY
    // Recorded under the file named, not the converted text beside it.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(nativePath(parsed.file), ec);
    engine.setSourcePath(ec ? parsed.file : pathText(absolute));
    std::unique_ptr<HistoryRecorder> recorder;
    if (parsed.history) {
        recorder = std::make_unique<HistoryRecorder>(
            defaultHistoryPath(), [&err](const std::string& note) { err << "rovik-cli: " << note << "\n"; });
        engine.setRecorder(recorder.get());
    }
#endif
    engine.StartRun(parsed.options);
    drill(engine, view, prompter, out);
    return 0;
}

} // namespace

const Command& quizCommand() {
    static const Command command{"quiz", "drill one title of a QA text file or PDB in the terminal", kUsage,
                                 runQuiz};
    return command;
}

} // namespace rovik::cli
