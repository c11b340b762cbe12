#include "gui/Announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace rovik {
namespace {
QAccessibleInterface* notificationFor(const QString&, QObject* object) {
    if (auto* announcer = qobject_cast<Announcer*>(object))
        return new QAccessibleWidget(announcer, QAccessible::Notification);
    return nullptr;
}
} // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    static const bool installed = (QAccessible::installFactory(&notificationFor), true);
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("Announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
}

void Announcer::announce(const QString& text) {
    if (text.trimmed().isEmpty()) return;
    if (m_pending.isEmpty()) QTimer::singleShot(0, this, &Announcer::speak);
    m_pending << text;
}

void Announcer::speak() {
    if (m_pending.isEmpty()) return;
    setAccessibleName(m_pending.join(QLatin1Char(' ')));
    m_pending.clear();
    // Appearing is what a reader presents; hidden until the next text.
    if (isVisibleTo(parentWidget())) hide();
    show();
}

} // namespace rovik
