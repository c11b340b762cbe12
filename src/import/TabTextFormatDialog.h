#pragma once
// The text format dialog of the tab-text import: which layout the chosen file has.
#include <QDialog>

#include <optional>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace rovik {

class TForm10 : public QDialog {
    Q_OBJECT
public:
    explicit TForm10(QWidget* parent = nullptr);

    // The chosen format: 0 tab-separated, 1 two lines per question, 2 three lines.
    int formatIndex() const;
    // True until ＯＫ is pressed; closing by the frame or キャンセル leaves it set.
    bool cancelled() const { return m_cancelled; }

    // Shows the dialog modally: the chosen format, or nothing when it was cancelled.
    static std::optional<int> chooseFormat(QWidget* parent);

    QGroupBox* RadioGroup1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    QButtonGroup* m_items;
    bool m_cancelled = true;
};

} // namespace rovik
