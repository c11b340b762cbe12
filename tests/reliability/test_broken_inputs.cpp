// Every broken input of tests/fixtures/broken through the readers: each gives its clear result
// (the status, what it kept, what the user was told) and none crashes or reads outside the file.
// The sanitizer build runs this test too. The files come from tests/fixtures/broken/make_broken.py.
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "datalist/DataListLogic.h"
#include "datalist/RecordEditor.h"
#include "hotsync/Hotsync.h"
#include "import/FiveChoice.h"
#include "import/TextImport.h"
#include "pdb/PdbReader.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"
#include "quiz/QuizEngine.h"
#include "settings/ProgramValues.h"

#include "datalist/FakeEditorView.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

namespace rovik {
namespace {

const std::string kBroken = std::string(ROVIK_FIXTURES) + "/broken/";

// Tells every message into a list; answers Ok or No, picks the tab format, shows the choices.
class TellingPrompter : public Prompter {
public:
    std::string told;
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon) override {
        told += " told[" + caption + ":" + text + "]";
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return 0; }
    std::optional<bool> chooseShowChoices() override { return true; }
};

// Long texts shown by their start and size.
std::string shown(const std::string& text) {
    if (text.size() <= 24) return text;
    return text.substr(0, 12) + "..(" + std::to_string(text.size()) + " bytes)";
}

// The messages of the error log the reader wrote: "N行目:message" per line entry.
std::string errorLogMessages(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return " no log";
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(cp932ToUtf8(bytes.substr(start, end - start)));
    }
    std::string out = " log";
    for (std::size_t i = 0; i < lines.size();) {
        const bool lineEntry = lines[i].find("行目") != std::string::npos && i + 2 < lines.size();
        out += (lineEntry ? "[" + lines[i] + ":" + lines[i + 2] + "]" : "[" + lines[i] + "]");
        i += lineEntry ? 4 : 2;
    }
    return out;
}

struct Reading {
    test::TempFolder folder; // start folder: error log, converted texts, settings
    QuestionSet set;
    TellingPrompter prompter;
    NullDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
    Reading() {
        values.startFolder = folder.path();
        values.settings = {"", ""};
    }
};

using ReaderFn = std::string (*)(const std::string& path);

std::string readQaText(const std::string& path) {
    Reading r;
    const int result = ReadAndValidate(r.ctx, path);
    std::string out = std::to_string(result);
    if (result == 0) {
        out +=
            " lines=" + std::to_string(r.set.lines.size()) + " titles=" + std::to_string(r.set.titleCount());
        if (!r.set.lines.empty()) out += " last=" + shown(r.set.lines.back());
    }
    if (result == -9) out += errorLogMessages(r.folder.file("ErrorLog.txt"));
    return out + r.prompter.told;
}

std::string readTextImport(const std::string& path) {
    Reading r;
    const int result = ConvertTextImport(r.ctx, path);
    std::string out = std::to_string(result);
    if (result == 0)
        out += " lines=" + std::to_string(r.set.lines.size()) + " last=" + shown(r.set.lines.back());
    if (result == -9) out += errorLogMessages(r.folder.file("ErrorLog.txt"));
    return out + r.prompter.told;
}

std::string readPdb(const std::string& path) {
    Reading r;
    const std::string textPath = r.folder.file("out.txt");
    const int result = ConvertPdbToText(path, textPath, r.prompter);
    std::string out = std::to_string(result);
    if (result == 0) {
        const std::vector<std::string> lines = rovik::readQaText(textPath, EncodingChoice::Cp932).lines;
        out += " lines=" + std::to_string(lines.size());
        for (const auto& line : lines)
            out += " [" + shown(line) + "]";
    } else if (fileExists(textPath)) {
        out += " wrote a text";
    }
    return out + r.prompter.told;
}

const char* statusName(FiveChoiceStatus status) {
    switch (status) {
    case FiveChoiceStatus::Ok:
        return "Ok";
    case FiveChoiceStatus::CannotOpen:
        return "CannotOpen";
    case FiveChoiceStatus::ShortHeader:
        return "ShortHeader";
    case FiveChoiceStatus::ShortQuestions:
        return "ShortQuestions";
    }
    return "?";
}

std::string readFiveChoice(const std::string& path) {
    const FiveChoiceFile file = readFiveChoiceFile(path);
    std::string out = statusName(file.status);
    out += " " + std::to_string(file.present) + "/" + std::to_string(file.announced);
    if (file.status != FiveChoiceStatus::Ok) out += " [" + fiveChoiceMessage(file) + "]";
    return out;
}

std::string readUsersDat(const std::string& path) {
    TellingPrompter prompter;
    std::vector<std::string> names, folders, ids;
    const int preselected = ReadHotSyncUsers(path, names, folders, ids, prompter);
    std::string out = std::to_string(preselected);
    for (std::size_t i = 0; i < names.size(); ++i)
        out += " " + ids[i] + ":" + shown(names[i]) + "/" + shown(folders[i]);
    return out + prompter.told;
}

std::string readRegistry(const std::string& path) {
    setRegistryFilePath(path);
    TellingPrompter prompter;
    RegistryKey core;
    std::string out = core.open(kCoreKey) ? "core" : "no core";
    for (const char* name : {"HotSyncPath", "Path"}) {
        auto value = core.readString(name);
        out += std::string(" ") + name + "=" + (value ? shown(*value) : "missing");
    }
    out += " palm=" + shown(GetPalmDesktopPath(prompter));
    setRegistryFilePath({});
    return out + prompter.told;
}

std::string readSettings(const std::string& path) {
    test::TempFolder start;
    std::string bytes;
    readWholeFile(path, bytes);
    start.write("Rovik.ini", bytes);
    test::CurrentFolder here(start.path());
    ProgramValues values;
    LoadSettings(values);
    std::string out = "lines=" + std::to_string(values.settings.size());
    if (!values.settings.empty()) out += " first=" + shown(values.settings.front());
    return out;
}

std::string readQuiz(const std::string& path) {
    SilentQuizView view;
    TellingPrompter prompter;
    QuizEngine engine(view, prompter);
    const int result = engine.LoadQuizFile(path);
    std::string out = std::to_string(result) + " lines=" + std::to_string(engine.lines().size()) +
                      " titles=" + std::to_string(engine.titleCount());
    engine.LoadTitle(1);
    out += " questions=" + std::to_string(engine.questionCount());
    return out + prompter.told;
}

// The record editor's boxes: the texts shown and the category items selected.
class BoxesView : public RecordEditorView {
public:
    void setCategoryItems(CategoryBox box, const std::vector<std::string>& list) override {
        items[box] = list;
    }
    void selectCategory(CategoryBox box, int index) override { selected[box] = index; }
    int selectedCategory(CategoryBox box) const override {
        return selected.count(box) ? selected.at(box) : -1;
    }
    std::string text(RecordBox box) const override { return texts.count(box) ? texts.at(box) : ""; }
    void setText(RecordBox box, const std::string& t) override { texts[box] = t; }
    std::string selectedText(RecordBox) const override { return {}; }
    std::optional<RecordBox> focusedBox() const override { return std::nullopt; }
    void focusBox(RecordBox) override {}
    void insertText(RecordBox, const std::string&) override {}
    void setControlEnabled(RecordControl, bool) override {}
    void setTitleLabel(const std::string&) override {}
    void setRecordNumberLabel(const std::string&) override {}
    void setByteCountLabel(const std::string&, bool) override {}
    std::optional<std::string> clipboardText() const override { return std::nullopt; }
    void setClipboardText(const std::string&) override {}

    std::map<CategoryBox, std::vector<std::string>> items;
    std::map<CategoryBox, int> selected;
    std::map<RecordBox, std::string> texts;
};

// The file's lines as the data list window holds them, its first title shown and every record of
// it decoded into the record editor's boxes; the summary shows the boxes of the first four.
std::string readRecordEditor(const std::string& path) {
    TextRead read = rovik::readQaText(path, EncodingChoice::Auto);
    if (read.status != TextReadStatus::Ok) return "unreadable";
    std::vector<std::string> lines = std::move(read.lines);
    ProgramValues values;
    values.settings = {"", ""};
    TellingPrompter prompter;
    test::FakeEditorView window;
    DataListLogic logic(window, prompter, values);
    logic.set().lines = std::move(lines);
    RebuildTitleIndex(logic.set());
    logic.FillTitleList();
    if (logic.set().titleCount() == 0) return "titles=0";
    logic.showTitleRow(0);
    const int rows = logic.recordRows().count();
    logic.setCurrentRecordRow(rows > 0 ? 1 : 0);
    BoxesView view;
    RecordEditor editor(logic, prompter, view);
    editor.FormCreate();
    std::string boxes;
    for (int r = 1; r <= rows && r <= 4; ++r) {
        logic.setCurrentRecordRow(r);
        editor.ShowRecord();
        boxes += " " + std::to_string(view.selected[CategoryBox::A]) +
                 std::to_string(view.selected[CategoryBox::B]) + "[" +
                 shown(view.texts[RecordBox::Question]) + "|" + shown(view.texts[RecordBox::Answer]) + "|" +
                 shown(view.texts[RecordBox::Reference]) + "]";
    }
    return "titles=" + std::to_string(logic.set().titleCount()) + " records=" + std::to_string(rows) + boxes +
           prompter.told;
}

struct ReaderEntry {
    const char* name;
    ReaderFn read;
    std::set<std::string> results; // the first word of every result it may give
};

const std::vector<ReaderEntry>& readers() {
    static const std::vector<ReaderEntry> list = {
        {"qa_text", readQaText, {"0", "-1", "-9"}},
        {"text_import", readTextImport, {"0", "-1", "-9"}},
        {"pdb", readPdb, {"0", "-1", "-2"}},
        {"five_choice", readFiveChoice, {"Ok", "ShortHeader", "ShortQuestions"}},
        {"users_dat", readUsersDat, {"-1", "0", "1"}},
        {"registry", readRegistry, {"core", "no"}},
        {"settings", readSettings, {"lines"}},
        {"quiz", readQuiz, {"0"}},
        {"record_editor", readRecordEditor, {"titles"}},
    };
    return list;
}

std::string readWith(const std::string& reader, const std::string& path) {
    for (const auto& entry : readers())
        if (reader == entry.name) return entry.read(path);
    ADD_FAILURE() << "no reader " << reader;
    return {};
}

struct BrokenCase {
    const char* file;
    const char* reader;
    std::string result;
};

TEST(BrokenInputs, EachReaderGivesItsClearResult) {
    const std::string kCorrupt = "PDBﾌｧｲﾙが壊れているため読み込めませんでした。";
    const std::string kLong = "レコードが長すぎます。最大306文字です。";
    const BrokenCase cases[] = {
        // Databases cut short or pointing outside themselves.
        {"pdb_header_cut.pdb", "pdb", "-1 told[エラー:" + kCorrupt + "]"},
        {"pdb_record_list_cut.pdb", "pdb", "-1 told[エラー:" + kCorrupt + "]"},
        {"pdb_count_without_list.pdb", "pdb", "-1 told[エラー:" + kCorrupt + "]"},
        // Record 1 starts past the end: record 0 runs to the end, record 1 is empty.
        {"pdb_offset_past_end.pdb", "pdb",
         "0 lines=4 [tTitle\tT\t3\t3] [11\tQ1\tA1\tR1\t0] [11\tQ2\tA2\tR2\t0] [11\tQ2\tA2\tR2\t0]"},
        {"pdb_records_cut.pdb", "pdb", "0 lines=3 [tTitle\tT\t3\t3] [11\tQ1\tA1\tR1\t0] [11\tQ]"},
        // 5TQ files shorter than their header or their counts.
        {"5tq_header_cut.5tq", "five_choice",
         "ShortHeader 0/0 "
         "[ごたくファイルではありません。\nファイルが分類の見出し（2048バイト）より短いです。]"},
        {"5tq_shorter_than_counts.5tq", "five_choice",
         "ShortQuestions 1/3 [ごたくファイルが途中で終わっています。\n問題数3問のうち1問分しかありません。]"},
        {"5tq_absurd_counts.5tq", "five_choice",
         "ShortQuestions 0/524280 "
         "[ごたくファイルが途中で終わっています。\n問題数524280問のうち0問分しかありません。]"},
        // users.dat cut inside a record or announcing more users than it holds.
        {"users_cut_in_record.dat", "users_dat", "0 1:Taro/TaroY"},
        {"users_count_beyond_records.dat", "users_dat", "1 1:Taro/TaroY 2:Hanako/HanakoS"},
        {"users_header_only.dat", "users_dat", "0"},
        // Lines of 100,000 bytes.
        {"long_line.txt", "qa_text", "-9 log[4行目:" + kLong + "]"},
        {"long_line.txt", "text_import",
         "-9 "
         "log[1行目:項目数が多すぎます。最大３項目です。][4行目:項目数が多すぎます。最大３項目です。]["
         "4行目:" +
             kLong +
             "][5行目:項目数が多すぎます。最大３項目です。]"
             "[6行目:項目数が多すぎます。最大３項目です。]"},
        {"long_line.txt", "quiz", "0 lines=6 titles=1 questions=3"},
        {"long_line.txt", "settings", "lines=6 first=tTitle\tT\t3\t3"},
        {"long_line.txt", "record_editor",
         "titles=1 records=3 11[xxxxxxxxxxxx..(99990 bytes)|a|r] 11[Q1|A1|R1] 11[Q2|A2|R2]"},
        {"long_line_no_end.txt", "qa_text",
         "-9 log[1行目:第５項目に0がありません。][1行目:第１項目は2文字です。][1行目:" + kLong +
             "][tTitleがありません。]"},
        {"long_line_no_end.txt", "quiz",
         "0 lines=1 titles=0 questions=0 told[確認:ﾌｧｲﾙを読み込んでいないか、ﾃﾞｰﾀにﾀｲﾄﾙがありません。]"},
        {"long_line_no_end.txt", "settings", "lines=1 first="}, // longer than any path
        {"registry_long_value.reg", "registry", "core HotSyncPath=C:\\Palm\\hotsync.exe Path=missing palm="},
        {"registry_cut_in_value.reg", "registry",
         "core HotSyncPath=C:\\Palm\\hotsync.exe Path=missing palm="},
        // Bytes that are no Shift-JIS stay bytes; only what is shown is replaced.
        {"invalid_sjis.txt", "qa_text", "0 lines=6 titles=1 last=//\x82"},
        {"invalid_sjis.txt", "settings", "lines=6 first=tTitle\tT\t3\t3"},
        {"invalid_sjis.txt", "quiz", "0 lines=5 titles=1 questions=2"},
        {"invalid_sjis.txt", "record_editor",
         "titles=1 records=3 11[Q\xEF\xBF\xBD|A\xEF\xBF\xBD\xEF\xBF\xBD|R\xEF\xBF\xBD\xEF\xBF\xBD] "
         "11[Q|A|R\xEF\xBF\xBD] -1-1[||]"},
        // A zero byte ends the text.
        {"nul_bytes.txt", "qa_text", "-9 log[5行目:第５項目に0がありません。]"},
        {"nul_bytes.txt", "quiz", "0 lines=5 titles=1 questions=2"},
        // CR alone ends lines.
        {"cr_only.txt", "qa_text", "0 lines=5 titles=1 last=11\tQ2\tA2\tR2\t0"},
        {"cr_only.txt", "quiz", "0 lines=5 titles=1 questions=2"},
        {"cr_only.txt", "record_editor", "titles=1 records=2 11[Q1|A1|R1] 11[Q2|A2|R2]"},
        {"nul_bytes.txt", "record_editor", "titles=1 records=2 11[Q1|A1|R1] 11[Q||]"},
        {"cr_only.txt", "text_import",
         "-9 log[1行目:項目数が多すぎます。最大３項目です。][4行目:項目数が多すぎます。最大３項目です。]"
         "[5行目:項目数が多すぎます。最大３項目です。]"},
        // An empty file.
        {"empty.txt", "qa_text", "-1 told[確認:ファイルにデータがありません。\n" + kBroken + "empty.txt]"},
        {"empty.txt", "text_import",
         "-1 told[確認:ファイルにデータがありません。\n" + kBroken + "empty.txt]"},
        {"empty.txt", "pdb", "-1 told[エラー:" + kCorrupt + "]"},
        {"empty.txt", "five_choice",
         "ShortHeader 0/0 "
         "[ごたくファイルではありません。\nファイルが分類の見出し（2048バイト）より短いです。]"},
        {"empty.txt", "users_dat", "0"},
        {"empty.txt", "registry",
         "no core HotSyncPath=missing Path=missing palm= told[:Registryを開けません] told[Starting Hotsync "
         "error:]"},
        {"empty.txt", "settings", "lines=2 first="}, // a new settings list
    };
    for (const auto& c : cases) {
        std::string expected = c.result;
#ifdef _WIN32
        // The registry is the real one here, not a file these cases could break.
        if (std::string(c.reader) == "registry") continue;
        // Before reading users.dat, Windows asks the registry for Palm's user-data library; there is
        // no Palm Desktop in the tests' registry, and that is said.
        if (std::string(c.reader) == "users_dat" && expected.rfind("-1", 0) != 0)
            expected += " told[:Registryを開けません] told[Starting Hotsync error:]";
#endif
        EXPECT_EQ(expected, readWith(c.reader, kBroken + c.file)) << c.file << " through " << c.reader;
    }
}

// Every file through every reader, sound or not for it: a result the reader documents, no crash.
TEST(BrokenInputs, EveryFileThroughEveryReader) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(kBroken))
        if (entry.path().extension() != ".py") files.push_back(entry.path().string());
    ASSERT_GE(files.size(), 19u);
    for (const auto& file : files) {
        for (const auto& reader : readers()) {
            const std::string result = reader.read(file);
            const std::string first = result.substr(0, result.find_first_of(" ="));
            EXPECT_EQ(1u, reader.results.count(first))
                << file << " through " << reader.name << ": " << result;
        }
    }
}

} // namespace
} // namespace rovik
