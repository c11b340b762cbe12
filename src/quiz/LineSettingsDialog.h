#pragma once
// Line settings dialog: question and answer area lines, 1 to 8 each. It has no OK button:
// closing it applies the values, キャンセル (or Esc) leaves everything as it was.
#include "quiz/QuizWindowLogic.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace rovik {

class TForm8 : public QDialog {
    Q_OBJECT
public:
    TForm8(int questionLines, int answerLines, QWidget* parent = nullptr);

    // True when the dialog was closed in another way than キャンセル.
    bool applied() const { return m_applied; }
    // The areas for the spin values, the larger count giving way (valid when applied).
    LineLayout layout() const { return m_layout; }

    QLabel* Label1;
    QLineEdit* Edit1;
    QSpinBox* UpDown1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QSpinBox* UpDown2;
    QPushButton* Button1;

public slots:
    void Button1Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCloseQuery();
    QSpinBox* makeSpin(const char* name, const char* editName, int value, int top);

    bool m_cancelled = false;
    bool m_applied = false;
    LineLayout m_layout;
};

} // namespace rovik
