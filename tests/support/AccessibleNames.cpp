#include "support/AccessibleNames.h"

#include <QAccessible>
#include <QLabel>
#include <QWidget>

namespace rovik::test {
namespace {

QString stripMnemonic(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

// The texts of the labels tied to a control (a buddy label), without mnemonic or final colon.
QStringList labelTexts(QAccessibleInterface* control) {
    QStringList texts;
    for (const auto& relation : control->relations(QAccessible::Label)) {
        auto* label = qobject_cast<QLabel*>(relation.first ? relation.first->object() : nullptr);
        if (!label) continue;
        QString text = stripMnemonic(label->text()).trimmed();
        while (text.endsWith(QChar(0xFF1A)) || text.endsWith(QLatin1Char(':')))
            text.chop(1);
        if (!text.isEmpty()) texts << text;
    }
    return texts;
}

QString describe(QAccessibleInterface* control) {
    QObject* object = control->object();
    QString name = object ? object->objectName() : QString();
    if (name.isEmpty() && object) name = QString::fromLatin1(object->metaObject()->className());
    return QStringLiteral("%1 (%2)").arg(name, QString::number(control->role(), 16));
}

// Controls that show a value: without a label tied to them a reader would only speak the value.
bool holdsValue(QAccessible::Role role) {
    switch (role) {
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Table:
    case QAccessible::List:
    case QAccessible::Tree:
        return true;
    default:
        return false;
    }
}

// On Linux Qt names a combo box by its value and ties the label by relation only (AT-SPI's
// labelled-by, which Orca speaks before the value): there the tie is what counts.
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
constexpr bool comboNamedByValue = true;
#else
constexpr bool comboNamedByValue = false;
#endif

void walk(QAccessibleInterface* node, QStringList& faults, int depth) {
    if (!node || depth > 40) return;
    const QAccessible::State state = node->state();
    QObject* object = node->object();
    if (state.focusable && object && object->isWidgetType()) {
        const QString name = node->text(QAccessible::Name);
        const QStringList labels = labelTexts(node);
        if (name.trimmed().isEmpty())
            faults << describe(node) + QStringLiteral(": no accessible name");
        else if (name == object->objectName())
            faults << describe(node) + QStringLiteral(": only its object name \"%1\"").arg(name);
        else if (!labels.isEmpty() && !labels.contains(name) && !name.contains(labels.first()) &&
                 !(comboNamedByValue && node->role() == QAccessible::ComboBox))
            faults << describe(node) +
                          QStringLiteral(": name \"%1\" is not its label \"%2\"").arg(name, labels.first());
        else if (labels.isEmpty() && holdsValue(node->role()) &&
                 static_cast<QWidget*>(object)->accessibleName().isEmpty())
            faults << describe(node) +
                          QStringLiteral(": no label tied to it (\"%1\" is its value)").arg(name);
    }
    // A combo box's list and a view's cells are its own business; the control itself is checked.
    if (node->role() == QAccessible::ComboBox || node->role() == QAccessible::Table ||
        node->role() == QAccessible::List || node->role() == QAccessible::Tree)
        return;
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), faults, depth + 1);
}

} // namespace

QStringList unnamedControls(QWidget* window) {
    QStringList faults;
    walk(QAccessible::queryAccessibleInterface(window), faults, 0);
    return faults;
}

QString accessibleName(QWidget* widget) {
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(QAccessible::Name) : QString();
}

} // namespace rovik::test
