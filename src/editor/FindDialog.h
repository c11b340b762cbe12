#pragma once
// The small non-modal find and replace dialog of the data list window. It only collects the
// options and hands the buttons to FindCommands.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rovik {

class FindCommands;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    FindDialog(FindCommands& commands, QWidget* parent);

    // Shows the dialog with the replace row or without it, the find text selected.
    void open(bool withReplace);
    // Hands the dialog's options to the commands (F3 and Shift+F3 search with them too).
    void handOver();

    QLineEdit* FindText;
    QLineEdit* ReplaceText;
    QRadioButton* ScopeShown;
    QRadioButton* ScopeAll;
    QCheckBox* FieldQuestion;
    QCheckBox* FieldAnswer;
    QCheckBox* FieldReference;
    QCheckBox* FieldNames;
    QCheckBox* MatchCase;
    QCheckBox* MatchWidth;
    QPushButton* FindNextButton;
    QPushButton* FindPreviousButton;
    QPushButton* ReplaceButton;
    QPushButton* ReplaceAllButton;
    QPushButton* CloseButton;

private:
    void updateButtons();

    FindCommands& m_commands;
    QWidget* m_replaceLabel = nullptr;
};

} // namespace rovik
