#pragma once
// What the record editor decides: which record it shows, how a record line is decoded into and
// built from the boxes, storing and appending, stepping, and the system clipboard commands.
// The window (TForm4) implements RecordEditorView and forwards its events here.
#include <optional>
#include <string>
#include <vector>

namespace rovik {

class DataListLogic;
class Prompter;

enum class RecordBox { Question, Answer, Reference };
enum class CategoryBox { A, B };
// The controls whose enabled state the editor decides. Paste stands for "貼付け(&P)" and the
// context menu's "貼付け".
enum class RecordControl { Store, Add, Previous, Next, Paste, RecordPaste };

// The record line adds its code, four tabs and "0" to the three texts; the line may hold 306 bytes.
constexpr int kRecordTextByteLimit = 299;
constexpr const char* kCategoryANone = "---（選択不可）";
constexpr const char* kCategoryBNone = "なし";

// What the editor asks of its window. Texts are UTF-8.
class RecordEditorView {
public:
    virtual ~RecordEditorView() = default;
    virtual void setCategoryItems(CategoryBox box, const std::vector<std::string>& items) = 0;
    // Selects item `index` and shows its text; -1 selects nothing and empties the box.
    virtual void selectCategory(CategoryBox box, int index) = 0;
    // The item whose text the box shows; -1 when the text (typed by the user) is no item.
    virtual int selectedCategory(CategoryBox box) const = 0;
    virtual std::string text(RecordBox box) const = 0;
    virtual void setText(RecordBox box, const std::string& text) = 0;
    virtual std::string selectedText(RecordBox box) const = 0;
    // The text box that has the keyboard focus, if any.
    virtual std::optional<RecordBox> focusedBox() const = 0;
    virtual void focusBox(RecordBox box) = 0;
    // Replaces the box's selection with `text`.
    virtual void insertText(RecordBox box, const std::string& text) = 0;
    virtual void setControlEnabled(RecordControl control, bool enabled) = 0;
    virtual void setTitleLabel(const std::string& text) = 0;
    virtual void setRecordNumberLabel(const std::string& text) = 0;
    virtual void setByteCountLabel(const std::string& text, bool warning) = 0;
    // The system clipboard's text; nothing when it holds no text.
    virtual std::optional<std::string> clipboardText() const = 0;
    virtual void setClipboardText(const std::string& text) = 0;
};

// The clipboard text without tab characters and line breaks (CR LF, a lone LF or CR): they would
// split the record's line.
std::string cleanedClipboardText(const std::string& text);

// A text as it goes into a record item: tabs and line breaks would split the line, so they go.
std::string recordItemText(const std::string& text);

// Item 1 of a record line read as a hexadecimal category code (0 to 0xFF); nothing otherwise.
std::optional<int> recordCode(const std::string& codeItem);

// The record line: code characters, the three texts (CP932) and "0", separated by tabs.
std::string recordLine(char categoryA, char categoryB, const std::string& question, const std::string& answer,
                       const std::string& reference);

class RecordEditor {
public:
    RecordEditor(DataListLogic& logic, Prompter& prompter, RecordEditorView& view);

    // Opening: category items, then the record of the data list window's current record row.
    void FormCreate();

    void ShowRecord();
    // Shows a record line (CP932) in the boxes; any text is accepted.
    void DecodeRecordLine(const std::string& line);
    void UpdateRecordStatus();
    // Stores the boxes as the current record, or appends them in add mode. False (after telling
    // the user) when a text holds characters the data cannot keep; nothing is stored then.
    bool StoreRecord();
    void StartNewRecord();

    // Buttons and menu items.
    void Button1Click(); // 登録
    void Button3Click(); // 追加
    void Button4Click(); // 前ﾚｺｰﾄﾞ
    void Button5Click(); // 次ﾚｺｰﾄﾞ
    // Closing: false when the editor stays open (the user cancelled, or the store was refused).
    bool FormCloseQuery();
    void Button6Click() { StartNewRecord(); }
    void CopySelection();
    void PasteClipboard();
    void CleanClipboardText();
    void CopyRecordLine();  // ﾚｺｰﾄﾞｺﾋﾟｰ
    void PasteRecordLine(); // ﾚｺｰﾄﾞ貼付け
    void EditMenuOpening();
    void PopupMenuOpening();
    // The question or the answer box changed.
    void TextChanged();

    bool addMode() const { return m_addMode; }
    bool recordCopied() const { return m_recordCopied; }
    int recordCount() const;

private:
    // What the boxes hold, to tell typed changes from the record as shown or stored.
    struct BoxContents {
        int categoryA = -1;
        int categoryB = -1;
        std::string texts[3];
        bool operator==(const BoxContents& other) const;
    };
    BoxContents boxContents() const;
    bool hasUnstoredChanges() const;
    // Asks "登録しますか？" when the boxes hold unstored text; false when the user stays.
    bool settleUnstoredChanges();

    std::string currentLine() const;
    void showItems(const std::string& codeItem, const std::string& question, const std::string& answer,
                   const std::string& reference);
    char categoryCharacter(CategoryBox box, std::optional<int> code) const;
    bool hasClipboardText() const;
    bool refuseUnloadable(size_t at, const std::string& line);
    void updateByteCount();

    DataListLogic& m_logic;
    Prompter& m_prompter;
    RecordEditorView& m_view;
    bool m_addMode = false;
    bool m_recordCopied = false;
    bool m_byteWarning = false; // the byte count label is red
    BoxContents m_stored;       // the boxes as last shown from or stored into the record
    bool m_freshBoxes = false;  // after 新規 or ﾚｺｰﾄﾞ貼付け: any text counts as unstored
};

} // namespace rovik
