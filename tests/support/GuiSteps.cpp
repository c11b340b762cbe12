#include "support/GuiSteps.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace rovik::test {

void onNextModalDialog(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        act(dialog);
        if (dialog->isVisible()) dialog->close();
    });
    timer->start();
}

void click(QWidget* widget, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

QStringList menuSequence(const QMenu* menu) {
    QStringList names;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            names << QStringLiteral("-");
        else if (action->menu())
            names << action->menu()->objectName();
        else
            names << action->objectName();
    }
    return names;
}

} // namespace rovik::test
