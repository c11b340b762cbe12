#include "import/OptionsDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rovik {
namespace {
QString q(const std::string& text) {
    return QString::fromStdString(text);
}
} // namespace

OptionsDialog::OptionsDialog(const std::string& caption, const std::vector<OptionGroup>& groups,
                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(q(caption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);

    auto* layout = new QVBoxLayout(this);
    for (std::size_t g = 0; g < groups.size(); ++g) {
        auto* box = new QGroupBox(q(groups[g].title), this);
        box->setObjectName(QStringLiteral("RadioGroup%1").arg(g + 1));
        auto* items = new QVBoxLayout(box);
        auto* buttons = new QButtonGroup(this);
        for (std::size_t i = 0; i < groups[g].items.size(); ++i) {
            auto* item = new QRadioButton(q(groups[g].items[i]), box);
            items->addWidget(item);
            buttons->addButton(item, static_cast<int>(i));
            item->setChecked(static_cast<int>(i) == groups[g].chosen);
        }
        layout->addWidget(box);
        m_groups.push_back(buttons);
    }
    Button1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(Button1);
    row->addWidget(Button2);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

std::vector<int> OptionsDialog::chosen() const {
    std::vector<int> items;
    for (const QButtonGroup* group : m_groups)
        items.push_back(group->checkedId());
    return items;
}

std::optional<std::vector<int>> OptionsDialog::choose(QWidget* parent, const std::string& caption,
                                                      const std::vector<OptionGroup>& groups) {
    OptionsDialog dialog(caption, groups, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosen();
}

} // namespace rovik
