#include "editor/ErrorLogDialog.h"

#include "gui/Help.h"

#include "platform/FileIo.h"
#include "platform/TextEncoding.h"

#include <QPushButton>
#include <QTextEdit>

namespace rovik {
namespace {
constexpr int kWidth = 480;
constexpr int kHeight = 340;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;
} // namespace

TForm9::TForm9(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("エラーログ"));
    setFixedSize(kWidth, kHeight);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setAccessibleName(QStringLiteral("エラーログ"));
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette grey = RichEdit1->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Button));
    RichEdit1->setPalette(grey);
    RichEdit1->setGeometry(0, 0, kWidth, kHeight - kButtonHeight - 2 * kMargin);

    Button1 = new QPushButton(QStringLiteral("ＯＫ"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    installHelpKey(this, "errorlog");
    Button1->setGeometry((kWidth - kButtonWidth) / 2, kHeight - kButtonHeight - kMargin, kButtonWidth,
                         kButtonHeight);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

bool TForm9::loadFile(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        RichEdit1->clear();
        return false;
    }
    QString text = QString::fromStdString(fileTextToUtf8(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    RichEdit1->setPlainText(text);
    return true;
}

} // namespace rovik
