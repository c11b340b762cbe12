#include "import/RadioDialog.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace rovik {
namespace {
constexpr int kWidth = 249;
constexpr int kGroupWidth = 233;
constexpr int kItemHeight = 24;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
} // namespace

RadioDialogParts buildRadioDialog(QDialog* dialog, const char* name, const QString& caption,
                                  const QString& groupTitle, const QStringList& items) {
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    dialog->setFont(font);

    RadioDialogParts parts;
    const int groupHeight = 28 + kItemHeight * static_cast<int>(items.size());
    parts.group = new QGroupBox(groupTitle, dialog);
    parts.group->setObjectName(QStringLiteral("RadioGroup1"));
    parts.group->setGeometry(8, 8, kGroupWidth, groupHeight);
    parts.items = new QButtonGroup(dialog);
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], parts.group);
        item->setGeometry(12, 20 + kItemHeight * i, kGroupWidth - 20, kItemHeight - 4);
        parts.items->addButton(item, i);
    }
    parts.items->button(0)->setChecked(true);

    const int buttonTop = 8 + groupHeight + 12;
    parts.ok = new QPushButton(QStringLiteral("ＯＫ"), dialog);
    parts.ok->setObjectName(QStringLiteral("Button1"));
    parts.ok->setGeometry(40, buttonTop, kButtonWidth, kButtonHeight);
    parts.ok->setDefault(true);
    parts.cancel = new QPushButton(QStringLiteral("キャンセル"), dialog);
    parts.cancel->setObjectName(QStringLiteral("Button2"));
    parts.cancel->setGeometry(kWidth - 40 - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight);
    QObject::connect(parts.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    dialog->setFixedSize(kWidth, buttonTop + kButtonHeight + 12);
    return parts;
}

} // namespace rovik
