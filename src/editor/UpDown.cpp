#include "editor/UpDown.h"

#include "datalist/TitleEditor.h"

#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace rovik {

UpDown::UpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), m_associate(associate), m_min(min), m_max(max), m_position(min) {
    m_up = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton(this);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {m_up, m_down}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setPosition(int position) {
    m_position = std::clamp(position, m_min, m_max);
    m_associate->setText(QString::number(m_position));
}

// A box the user typed into counts with its own number; other text keeps the last position.
void UpDown::stepBy(int steps) {
    const int typed = lineCountOf(m_associate->text().toStdString()).value_or(m_position);
    setPosition(std::clamp(typed, m_min, m_max) + steps);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace rovik
