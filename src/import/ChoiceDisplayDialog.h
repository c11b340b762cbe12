#pragma once
// The choice display dialog of the five-choice import: whether the shuffled choices are written
// into each question.
#include <QDialog>

#include <optional>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace rovik {

class TForm11 : public QDialog {
    Q_OBJECT
public:
    explicit TForm11(QWidget* parent = nullptr);

    // Index 0 "選択肢を質問に表示する" or 1 "選択肢を表示しない".
    int choiceIndex() const;
    bool showChoices() const { return choiceIndex() == 0; }
    // True until ＯＫ is pressed; closing by the frame or キャンセル leaves it set.
    bool cancelled() const { return m_cancelled; }

    // Shows the dialog modally: true to show the choices, nothing when it was cancelled.
    static std::optional<bool> chooseShowChoices(QWidget* parent);

    QGroupBox* RadioGroup1;
    QPushButton* Button1;
    QPushButton* Button2;

private:
    QButtonGroup* m_items;
    bool m_cancelled = true;
};

} // namespace rovik
