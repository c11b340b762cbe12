#include "quiz/LineSettingsDialog.h"

#include "gui/Help.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace rovik {
namespace {
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(24, top + 3, 80, 16);
    return label;
}
} // namespace

TForm8::TForm8(int questionLines, int answerLines, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("行数設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    setFixedSize(216, 140);

    Label1 = makeLabel(this, "Label1", QStringLiteral("質問行数："), 20);
    UpDown1 = makeSpin("UpDown1", "Edit1", questionLines, 20);
    Edit1 = UpDown1->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    Label2 = makeLabel(this, "Label2", QStringLiteral("解答行数："), 56);
    UpDown2 = makeSpin("UpDown2", "Edit2", answerLines, 56);
    Edit2 = UpDown2->findChild<QLineEdit*>(QStringLiteral("Edit2"));
    Label1->setBuddy(UpDown1);
    Label2->setBuddy(UpDown2);
    // The spin box's edit field is a control of its own in a screen reader's tree.
    Edit1->setAccessibleName(Label1->text());
    Edit2->setAccessibleName(Label2->text());

    Button1 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(70, 100, 75, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
    installHelpKey(this, "topic10-lines");
}

// The spin box's own edit field takes the name of the edit that the spin buttons were bound to.
QSpinBox* TForm8::makeSpin(const char* name, const char* editName, int value, int top) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(1, 8);
    spin->setWrapping(false);
    spin->setValue(value);
    spin->setGeometry(112, top, 57, 22);
    if (auto* edit = spin->findChild<QLineEdit*>()) edit->setObjectName(QLatin1String(editName));
    return spin;
}

void TForm8::Button1Click() {
    m_cancelled = true;
    close();
}

void TForm8::closeEvent(QCloseEvent* event) {
    if (!m_cancelled) FormCloseQuery();
    QDialog::closeEvent(event);
}

void TForm8::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Button1Click();
        return;
    }
    // Enter on キャンセル cancels; anywhere else it closes the dialog and the values apply.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (focusWidget() == Button1)
            Button1Click();
        else
            close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm8::FormCloseQuery() {
    UpDown1->interpretText();
    UpDown2->interpretText();
    m_layout = layoutAreas(UpDown1->value(), UpDown2->value());
    m_applied = true;
}

} // namespace rovik
