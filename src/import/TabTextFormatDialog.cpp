#include "import/TabTextFormatDialog.h"

#include "gui/Help.h"
#include "import/RadioDialog.h"

#include <QButtonGroup>
#include <QPushButton>

namespace rovik {

TForm10::TForm10(QWidget* parent) : QDialog(parent) {
    RadioDialogParts parts = buildRadioDialog(
        this, "Form10", QStringLiteral("ﾃｷｽﾄﾃﾞｰﾀの形式指定"), QStringLiteral("ﾃｷｽﾄﾃﾞｰﾀの形式"),
        {QStringLiteral("タブ区切り"), QStringLiteral("タブなし（2行で1組）"),
         QStringLiteral("タブなし（3行で1組）")});
    RadioGroup1 = parts.group;
    m_items = parts.items;
    Button1 = parts.ok;
    Button2 = parts.cancel;
    installHelpKey(this, "import-text");
    connect(Button1, &QPushButton::clicked, this, [this] {
        m_cancelled = false;
        accept();
    });
}

int TForm10::formatIndex() const {
    return m_items->checkedId();
}

std::optional<int> TForm10::chooseFormat(QWidget* parent) {
    TForm10 dialog(parent);
    dialog.exec();
    if (dialog.cancelled()) return std::nullopt;
    return dialog.formatIndex();
}

} // namespace rovik
