#pragma once
// Up and down arrows beside a number box: a click reads the box, steps its number by one within
// the limits (no wrap) and writes it back.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace rovik {

class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* associate, int min, int max, QWidget* parent = nullptr);

    int position() const { return m_position; }
    // Sets the position (kept within the limits) and shows it in the box.
    void setPosition(int position);
    void stepBy(int steps);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* m_associate;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_min;
    int m_max;
    int m_position;
};

} // namespace rovik
