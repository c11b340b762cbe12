#include "quiz/TitleSelectDialog.h"

#include "gui/Help.h"
#include "gui/WindowPlace.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace rovik {
namespace {
constexpr int kWidth = 271;
constexpr int kHeight = 375;
} // namespace

TForm6::TForm6(const std::vector<std::string>& names, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("ﾀｲﾄﾙ選択"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(kWidth, kHeight);

    StringGrid1 = new QTableWidget(static_cast<int>(names.size()), 1, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("タイトル一覧"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(24);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < static_cast<int>(names.size()); ++row)
        StringGrid1->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(names[size_t(row)])));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(StringGrid1);

    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int row, int) { StringGrid1Click(row); });
    connect(StringGrid1, &QTableWidget::cellActivated, this, [this](int row, int) { StringGrid1Click(row); });
    installHelpKey(this, "topic10-title");
}

void TForm6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void TForm6::StringGrid1Click(int row) {
    if (row < 0 || row >= StringGrid1->rowCount()) return;
    m_chosenRow = row;
    accept();
}

} // namespace rovik
