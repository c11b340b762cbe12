#pragma once
// The quiz window: drills one title of a QA text file (or of a PDB read through "$temp.txt").
// It binds the controls to QuizWindowLogic and the quiz engine and shows what they decide.
#include "quiz/QuizWindowLogic.h"

#include <QDialog>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace rovik {

class Announcer;
class Prompter;
struct ProgramValues;

class TForm2 : public QDialog, private QuizWindowView {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    TForm2(ProgramValues& values, QWidget* parent);
    ~TForm2() override;

    // Messages and file dialogs go through this prompter (tests inject a scripted one).
    void setPrompter(Prompter* prompter);

    QuizWindowLogic& logic() { return *m_logic; }
    // Question area lines and answer area lines with the areas' places.
    const LineLayout& lineLayout() const { return m_layout; }
    OptionEntries optionEntries() const;

    QMenuBar* SDIAppMenu;
    QMenu* FileMenu;
    QAction* OpenItem;
    QAction* PDBP1;
    QAction* T1;
    QAction* S1;
    QAction* Statistics1 = nullptr; // only where the history is kept
    QAction* ExitItem;
    QMenu* Help1;
    QAction* About1;
    QAction* ReadMe1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QComboBox* ComboBox3;
    QComboBox* ComboBox4;
    QComboBox* ComboBox5;
    QComboBox* ComboBox6;
    QPlainTextEdit* Memo1;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* Memo3;
    QPlainTextEdit* Memo4;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
    QPushButton* Button5;
    QPushButton* Button6;
    QStatusBar* StatusBar;

public slots:
    // Opening: runs once, on the window's first showing.
    void FormActivate();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void OpenItemClick();
    void PDBP1Click();
    void T1Click();
    void S1Click();
    // 統計…: the statistics window; its 苦手な問題で開始 starts a run here.
    void Statistics1Click();
    void About1Click();
    void ReadMe1Click();
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class Forwarder;

    void createControls(QWidget* client);
    void createMenus();
    void fitOneLineArea(QPlainTextEdit* area);
    void applyLayout(const LineLayout& layout);
    QPlainTextEdit* area(QuizArea which) const;
    void FormCloseQuery();

    void setAreaText(QuizArea area, const std::string& text) override;
    void setAnswerButtons(bool answer, bool correct, bool incorrect) override;
    void setRunControlsUsable(bool usable) override;
    void setCategoryEntries(const std::vector<std::string>& a, const std::vector<std::string>& b) override;
    void resetOptions() override;
    void setCaption(const std::string& text) override;
    void setBusy(bool busy) override;
    std::optional<int> chooseTitle(const std::vector<std::string>& names) override;
    void setTitleMenuUsable(bool usable) override;
    void setStatusText(const std::string& text) override;

    ProgramValues& m_values;
    Announcer* m_announcer = nullptr;
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<Forwarder> m_forwarder;
    std::unique_ptr<QuizRecorder> m_history; // outlives the logic that records into it
    std::unique_ptr<QuizWindowLogic> m_logic;
    LineLayout m_layout;
    bool m_opened = false;
    bool m_busy = false;
};

} // namespace rovik
