#include "import/ChoiceDisplayDialog.h"

#include "gui/Help.h"
#include "import/RadioDialog.h"

#include <QButtonGroup>
#include <QPushButton>

namespace rovik {

TForm11::TForm11(QWidget* parent) : QDialog(parent) {
    RadioDialogParts parts =
        buildRadioDialog(this, "Form11", QStringLiteral("選択肢の表示"), QStringLiteral("選択肢の表示"),
                         {QStringLiteral("選択肢を質問に表示する"), QStringLiteral("選択肢を表示しない")});
    RadioGroup1 = parts.group;
    m_items = parts.items;
    Button1 = parts.ok;
    Button2 = parts.cancel;
    installHelpKey(this, "import-5tq");
    connect(Button1, &QPushButton::clicked, this, [this] {
        m_cancelled = false;
        accept();
    });
}

int TForm11::choiceIndex() const {
    return m_items->checkedId();
}

std::optional<bool> TForm11::chooseShowChoices(QWidget* parent) {
    TForm11 dialog(parent);
    dialog.exec();
    if (dialog.cancelled()) return std::nullopt;
    return dialog.showChoices();
}

} // namespace rovik
