#pragma once
// The title and category editor: the shown title's name, its question and answer line counts and
// the names of its fifteen category A and fifteen category B codes. 登録 hands the boxes to
// TitleEditor, which rewrites the title's header lines, and closes the editor.
#include "datalist/TitleEditor.h"

#include <QDialog>

#include <array>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;

namespace rovik {

class UpDown;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    TForm5(DataListLogic& logic, Prompter& prompter, QWidget* parent = nullptr);

    TitleFields fields() const;
    void setFields(const TitleFields& fields);

    // 登録: stores the boxes and closes; a refused store keeps the editor open.
    void Button1MouseUp();

    QMenuBar* MainMenu1;
    QMenu* File1;
    QAction* Exit1;
    QFrame* Panel3;
    QLabel* Label33;
    QLineEdit* Edit31;
    QFrame* Panel4;
    QLabel* Label34;
    QLineEdit* Edit32;
    UpDown* UpDown1;
    QLabel* Label35;
    QLineEdit* Edit33;
    UpDown* UpDown2;
    QFrame* Panel1;
    QLabel* Label31;
    QFrame* Panel2;
    QLabel* Label32;
    std::array<QLineEdit*, kCategoryBoxes> categoryA{}; // Edit1 to Edit15
    std::array<QLineEdit*, kCategoryBoxes> categoryB{}; // Edit16 to Edit30
    QPushButton* Button1;
    QPushButton* Button2;
    QStatusBar* StatusBar1;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createTitlePanels(QWidget* client);
    QFrame* createCategoryPanel(QWidget* client, const char* name, const char* headingName,
                                const QString& heading, int left,
                                std::array<QLineEdit*, kCategoryBoxes>& boxes, int firstEdit);

    TitleEditor m_editor;
};

} // namespace rovik
