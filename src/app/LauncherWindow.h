#pragma once
// The launcher: the program's main window, from which every other window is opened.
#include <QMainWindow>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QPushButton;
class QFrame;
class QStatusBar;

namespace rovik {

class Announcer;

class Prompter;
struct InstallOpening;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Messages and dialogs go through this prompter (tests inject a scripted one).
    void setPrompter(Prompter* prompter) { m_prompter = prompter; }
    Prompter& prompter() { return *m_prompter; }

    // Opens the data list window (Button2) and, when `file` is given, loads it there.
    void openDataList(const std::string& file = {});

    QPushButton* Button1;
    QPushButton* Button2;
    QFrame* Panel1;
    QLabel* Label1;
    QPushButton* Button3;
    QPushButton* Button4;
    QStatusBar* StatusBar;
    QAction* Exit1;
    QAction* HotSyncH1;
    QAction* I1;
    QAction* ReadMeR1;
    QAction* About1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void HotSyncH1Click();
    void I1Click();
    void ReadMeR1Click();
    void About1Click();

private:
    void FormCreate();
    void tellSettingsProblem();
    void createControls();
    void createMenus();
    void reserveInstall(const InstallOpening& opening);
    void showStatusText(const QString& text);

    Announcer* m_announcer = nullptr;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter;
    bool m_closeRefused = false; // the last close could not write the settings
};

} // namespace rovik
