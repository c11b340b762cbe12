#include "hotsync/InstallDialog.h"

#include "gui/Help.h"
#include "gui/ThemeColors.h"
#include "hotsync/InstallCommands.h"
#include "platform/Cp932.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace rovik {
namespace {
constexpr int kClientWidth = 297;
constexpr int kClientHeight = 193;

template <typename W> W* named(W* widget, const char* name, QRect place) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(place);
    return widget;
}

// A long label loses its middle, so the target's name at the start and the file at the end stay.
QString fittedInto(const QComboBox* box, const QString& text) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QRect field =
        box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    return box->fontMetrics().elidedText(text, Qt::ElideMiddle, field.width() - 4);
}
} // namespace

TForm7::TForm7(InstallRequest& request, const std::string& startFolder, Prompter& prompter,
               WritePdbFunction writePdb, QWidget* parent, InstallTarget* target, RunOutside runOutside)
    : QDialog(parent), m_logic(request, startFolder, prompter, std::move(writePdb)) {
    if (target) m_logic.useTarget(target, std::move(runOutside));
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("ｲﾝｽﾄｰﾙ予約"));
    installHelpKey(this, kHelpTopic);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);
    createControls();
    FormCreate();
}

void TForm7::createControls() {
    Label1 = named(new QLabel(this), "Label1", {12, 10, 273, 48});
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2 = named(new QLabel(QStringLiteral("ﾕｰｻﾞ："), this), "Label2", {12, 62, 273, 16});
    ComboBox1 = named(new QComboBox(this), "ComboBox1", {12, 80, 273, 22});
    // A plain list: typed text would show a user other than the one installed for.
    ComboBox1->setEditable(false);
    Label3 = named(new QLabel(QStringLiteral("DB名称："), this), "Label3", {12, 108, 273, 16});
    Edit1 = named(new QLineEdit(this), "Edit1", {12, 126, 273, 22});
    Label2->setBuddy(ComboBox1);
    Label3->setBuddy(Edit1);
    Button1 = named(new QPushButton(QStringLiteral("ｲﾝｽﾄｰﾙ"), this), "Button1", {56, 158, 85, 25});
    Button2 = named(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this), "Button2", {156, 158, 85, 25});
    Button1->setDefault(true);

    connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);
}

void TForm7::FormCreate() {
    m_logic.FormCreate();
    if (m_logic.showsTargetOnly()) {
        // One handheld and no user list: the box names where the file goes.
        Label2->setText(QStringLiteral("転送先："));
        const QString where = QString::fromStdString(m_logic.targetLabel());
        ComboBox1->addItem(fittedInto(ComboBox1, where));
        ComboBox1->setToolTip(where);
        ComboBox1->setEnabled(false);
        return;
    }
    if (!m_logic.showsUsers()) return;
    for (const std::string& name : m_logic.userNames())
        ComboBox1->addItem(QString::fromStdString(cp932ToUtf8(name)));
    ComboBox1->setCurrentIndex(m_logic.chosenIndex());
    // Connected only now: filling the box is no choice of the user's.
    connect(ComboBox1, qOverload<int>(&QComboBox::currentIndexChanged), this, &TForm7::ComboBox1Change);
}

void TForm7::setExplanation(const QString& text) {
    Label1->setText(text);
}

void TForm7::setDatabaseName(const QString& name, bool editable) {
    Edit1->setText(name);
    Edit1->setReadOnly(!editable);
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, editable ? themeColor(this, Qt::white, QPalette::Base)
                                              : palette.color(QPalette::Button));
    Edit1->setPalette(palette);
}

QString TForm7::databaseName() const {
    return Edit1->text();
}

void TForm7::ComboBox1Change(int index) {
    m_logic.ComboBox1Change(index);
}

void TForm7::Button1Click() {
    if (m_logic.Button1Click(Edit1->text().toStdString())) accept();
}

void TForm7::Button2Click() {
    reject();
}

} // namespace rovik
