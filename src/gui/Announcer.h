#pragma once
// Says a text to screen readers without showing anything. Qt has no announcement event: the
// announcer is an empty notification object that appears again with each text, which readers
// such as Orca speak.
#include <QStringList>
#include <QWidget>

namespace rovik {

class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    // Queues `text`; the texts of one turn of the event loop are spoken together, in order.
    void announce(const QString& text);
    // What was spoken last.
    QString text() const { return accessibleName(); }

private:
    void speak();

    QStringList m_pending;
};

} // namespace rovik
