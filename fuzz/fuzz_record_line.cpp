// The record editor on any QA text: every title shown in the data list window, every record line
// decoded into the editor's boxes (DecodeRecordLine through ShowRecord), each input line decoded
// directly, and a record stored back, which must give a sound record line.
#include "FuzzSupport.h"

#include "data/Common.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "datalist/RecordEditor.h"
#include "settings/ProgramValues.h"

#include "datalist/FakeEditorView.h"

#include <map>

using namespace rovik;

namespace {
// The boxes as plain values; a category box shows the text of its selected item.
class BoxesView : public RecordEditorView {
public:
    void setCategoryItems(CategoryBox box, const std::vector<std::string>& list) override {
        items[box] = list;
    }
    void selectCategory(CategoryBox box, int index) override {
        const auto& list = items[box];
        ROVIK_FUZZ_CHECK(index >= -1 && index < static_cast<int>(list.size()));
        selected[box] = index;
    }
    int selectedCategory(CategoryBox box) const override {
        return selected.count(box) ? selected.at(box) : -1;
    }
    std::string text(RecordBox box) const override { return texts.count(box) ? texts.at(box) : ""; }
    void setText(RecordBox box, const std::string& t) override { texts[box] = t; }
    std::string selectedText(RecordBox) const override { return {}; }
    std::optional<RecordBox> focusedBox() const override { return std::nullopt; }
    void focusBox(RecordBox) override {}
    void insertText(RecordBox box, const std::string& t) override { texts[box] += t; }
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

constexpr int kMaxTitles = 8;
constexpr int kMaxRows = 64;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = splitTextLines(fuzz::inputBytes(data, size));
    ProgramValues values;
    values.settings = {"", ""};
    fuzz::QuietPrompter prompter;
    test::FakeEditorView window;
    DataListLogic logic(window, prompter, values);
    logic.set().lines = lines;
    RebuildTitleIndex(logic.set());
    logic.FillTitleList();
    BoxesView view;
    RecordEditor editor(logic, prompter, view);

    for (int row = 0; row < logic.set().titleCount() && row < kMaxTitles; ++row) {
        logic.showTitleRow(row);
        const int rows = logic.recordRows().count();
        logic.setCurrentRecordRow(rows > 0 ? 1 : 0);
        editor.FormCreate();
        for (int r = 1; r <= rows && r <= kMaxRows; ++r) {
            logic.setCurrentRecordRow(r);
            editor.ShowRecord();
            editor.UpdateRecordStatus();
        }
        if (rows == 0) continue;
        // Storing what was shown writes a whole record line in place of the current one.
        const int at = logic.setLineOfRow(logic.currentRecordRow());
        ROVIK_FUZZ_CHECK(at >= 0 && at < static_cast<int>(logic.set().lines.size()));
        if (editor.StoreRecord()) {
            const std::string& stored = logic.set().lines[static_cast<std::size_t>(at)];
            ROVIK_FUZZ_CHECK(CountItems(stored, kTab) == 5);
            ROVIK_FUZZ_CHECK(stored.compare(stored.size() - 2, 2, "\t0") == 0);
            ROVIK_FUZZ_CHECK(recordCode(ItemText(stored, kTab, 1)).has_value());
        }
    }
    // Any line decoded into the boxes of the editor as it opens over the title now shown.
    editor.FormCreate();
    for (std::size_t i = 0; i < lines.size() && i < kMaxRows; ++i) {
        editor.DecodeRecordLine(lines[i]);
        recordCode(lines[i]);
        ROVIK_FUZZ_CHECK(recordItemText(lines[i]).find_first_of("\t\r\n") == std::string::npos);
        ROVIK_FUZZ_CHECK(cleanedClipboardText(lines[i]).find('\t') == std::string::npos);
    }
    return 0;
}
