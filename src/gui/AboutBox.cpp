#include "gui/AboutBox.h"

#include "gui/Help.h"
#include "gui/QtPrompter.h"
#include "gui/ThemeColors.h"
#include "gui/WindowPlace.h"
#include "platform/Shell.h"
#include "settings/ProgramValues.h"

#include <QFocusEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace rovik {
namespace {
// Tabbing into the label selects its link at once, so Enter opens it (a plain label would need a
// second Tab to reach the link inside).
class LinkLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLabel::focusInEvent(event);
        if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
            focusNextPrevChild(event->reason() == Qt::TabFocusReason);
    }
};

QLabel* makeLink(TAboutBox* box, QWidget* parent, const char* name, const QString& text,
                 const QString& target) {
    auto* label = new LinkLabel(QStringLiteral("<a href=\"%1\" style=\"color: %3;\">%2</a>")
                                    .arg(target, text, themeColor(parent, Qt::blue, QPalette::Link).name()),
                                parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter);
    label->setCursor(Qt::PointingHandCursor);
    // Tab reaches the link and Enter opens it.
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(label, &QLabel::linkActivated, box, &TAboutBox::openLink);
    return label;
}

QLabel* makeCentred(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignHCenter);
    return label;
}
} // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent), m_ownPrompter(std::make_unique<QtPrompter>(this)), m_prompter(m_ownPrompter.get()) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(259, 200);
    const ProgramValues& values = programValues();

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setGeometry(8, 8, 243, 145);

    ProductName = makeCentred(panel, "ProductName", QStringLiteral("Rovik"));
    QFont nameFont(QStringLiteral("ＭＳ 明朝"));
    nameFont.setPixelSize(29);
    nameFont.setBold(true);
    nameFont.setItalic(true);
    ProductName->setFont(nameFont);
    QPalette name = ProductName->palette();
    name.setColor(QPalette::WindowText, themeColor(panel, QColor(0, 128, 0), QPalette::WindowText));
    ProductName->setPalette(name);
    Version = makeCentred(panel, "Version", QString::fromStdString(values.versionText));
    Copyright = makeCentred(panel, "Copyright", QString::fromStdString(values.authorLine));
    MailAddress = makeLink(this, panel, "MailAddress", QString::fromStdString(values.mailAddress),
                           QStringLiteral("mailto:") + QString::fromStdString(values.mailAddress));
    WebPage = makeLink(this, panel, "WebPage", QString::fromStdString(values.webPage),
                       QString::fromStdString(values.webPage));

    auto* column = new QVBoxLayout(panel);
    for (QWidget* w : {static_cast<QWidget*>(ProductName), static_cast<QWidget*>(Version),
                       static_cast<QWidget*>(Copyright), static_cast<QWidget*>(MailAddress),
                       static_cast<QWidget*>(WebPage)})
        column->addWidget(w);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(92, 163, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    installHelpKey(this, "about");
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::setPrompter(Prompter* prompter) {
    m_prompter = prompter ? prompter : m_ownPrompter.get();
}

bool TAboutBox::openLink(const QString& link) {
    if (shellOpen(link.toStdString())) return true;
    QString shown = link;
    shown.remove(QRegularExpression(QStringLiteral("^mailto:")));
    m_prompter->error("「" + shown.toStdString() +
                      "」を開くプログラム（メールソフト、ブラウザ）を起動できません。");
    return false;
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

void ShowAboutBox(QWidget* parent, Prompter* prompter) {
    TAboutBox box(parent);
    box.setPrompter(prompter);
    box.exec();
}

} // namespace rovik
