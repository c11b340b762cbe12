#pragma once
// The record editor: one record of the shown title in two category boxes and three text boxes,
// with store, append, new, previous and next, and the system clipboard commands. It forwards
// every event to RecordEditor and shows what it decides.
#include "datalist/RecordEditor.h"

#include <QDialog>

#include <memory>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace rovik {

class TForm4 : public QDialog, public RecordEditorView {
    Q_OBJECT
public:
    // Opens on the data list window's current record row.
    TForm4(DataListLogic& logic, Prompter& prompter, QWidget* parent = nullptr);
    ~TForm4() override;

    RecordEditor& editor() { return *m_editor; }

    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* Exit1;
    QMenu* Edit3;
    QAction* Copy1;
    QAction* P1;
    QAction* R1;
    QAction* H1;
    QMenu* PopupMenu1;
    QAction* Copy2;
    QAction* N2;
    QLabel* Label3;
    QComboBox* ComboBox1;
    QLabel* Label4;
    QComboBox* ComboBox2;
    QFrame* Panel1;
    QLabel* Label8;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label1;
    QPlainTextEdit* Memo1;
    QLabel* Label2;
    QPlainTextEdit* Memo2;
    QLabel* Label5;
    QPlainTextEdit* Memo3;
    QPushButton* Button6;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button2;
    QPushButton* Button4;
    QPushButton* Button5;
    QStatusBar* StatusBar1;

    // RecordEditorView
    void setCategoryItems(CategoryBox box, const std::vector<std::string>& items) override;
    void selectCategory(CategoryBox box, int index) override;
    int selectedCategory(CategoryBox box) const override;
    std::string text(RecordBox box) const override;
    void setText(RecordBox box, const std::string& text) override;
    std::string selectedText(RecordBox box) const override;
    std::optional<RecordBox> focusedBox() const override;
    void focusBox(RecordBox box) override;
    void insertText(RecordBox box, const std::string& text) override;
    void setControlEnabled(RecordControl control, bool enabled) override;
    void setTitleLabel(const std::string& text) override;
    void setRecordNumberLabel(const std::string& text) override;
    void setByteCountLabel(const std::string& text, bool warning) override;
    std::optional<std::string> clipboardText() const override;
    void setClipboardText(const std::string& text) override;

    // Every way of closing (閉じる, the menu, the close box, Esc) asks about unstored text first.
    void reject() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenus();
    void createControls(QWidget* client);
    void createButtons(QWidget* client);
    void connectEvents();
    QComboBox* comboBox(CategoryBox box) const;
    QPlainTextEdit* memo(RecordBox box) const;

    std::unique_ptr<RecordEditor> m_editor;
};

} // namespace rovik
