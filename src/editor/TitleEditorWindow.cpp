#include "editor/TitleEditorWindow.h"

#include "editor/UpDown.h"
#include "gui/DialogFrame.h"
#include "gui/Help.h"
#include "gui/Hints.h"
#include "gui/WindowPlace.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>

namespace rovik {
namespace {
constexpr int kClientWidth = 444;
constexpr int kClientHeight = 460;
constexpr int kMinLines = 1;
constexpr int kMaxLines = 8;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    if (name) label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* addBox(QWidget* parent, const QString& name, QRect place) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setGeometry(place);
    return box;
}

QFrame* addPanel(QWidget* parent, const char* name, QRect place) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(place);
    return panel;
}

// "１：" to "１５："
QString codeLabel(int code) {
    QString text;
    for (QChar digit : QString::number(code))
        text += QChar(0xFF10 + digit.digitValue());
    return text + QStringLiteral("：");
}
} // namespace

TForm5::TForm5(DataListLogic& logic, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_editor(logic, prompter) {
    setupEditorDialog(this, "Form5");
    setWindowTitle(QStringLiteral("Rovik(ﾀｲﾄﾙ･分類編集)"));
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    File1 = MainMenu1->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    Exit1 = File1->addAction(QStringLiteral("閉じる(&X)"));
    Exit1->setObjectName(QStringLiteral("Exit1"));
    Exit1->setStatusTip(QStringLiteral("閉じます。"));
    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    QWidget* client = addClientArea(this, MainMenu1, StatusBar1, kClientWidth, kClientHeight);

    createTitlePanels(client);
    Panel1 = createCategoryPanel(client, "Panel1", "Label31", QStringLiteral("分類 A"), 8, categoryA, 1);
    Panel2 = createCategoryPanel(client, "Panel2", "Label32", QStringLiteral("分類 B"), 184, categoryB, 16);
    Button1 = new QPushButton(QStringLiteral("登  録"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(360, 24, 75, 25);
    setHint(Button1, QStringLiteral("設定内容を登録します。"));
    Button2 = new QPushButton(QStringLiteral("キャンセル"), client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(360, 64, 75, 25);
    setHint(Button2, QStringLiteral("キャンセルして閉じます。"));
    for (QPushButton* button : {Button1, Button2})
        button->setAutoDefault(false);
    // Enter in a box registers, as in any dialog; Esc cancels.
    Button1->setDefault(true);

    connect(Exit1, &QAction::triggered, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &TForm5::Button1MouseUp);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    installHelpKey(this, "topic26");
    setFields(m_editor.FormCreate());
}

void TForm5::createTitlePanels(QWidget* client) {
    Panel3 = addPanel(client, "Panel3", {8, 0, 345, 28});
    Label33 = addLabel(Panel3, "Label33", QStringLiteral("タイトル："), 20, 7);
    Edit31 = addBox(Panel3, QStringLiteral("Edit31"), {80, 5, 241, 20});

    Panel4 = addPanel(client, "Panel4", {8, 32, 345, 33});
    Label34 = addLabel(Panel4, "Label34", QStringLiteral("質問行数："), 24, 12);
    Edit32 = addBox(Panel4, QStringLiteral("Edit32"), {80, 8, 25, 20});
    UpDown1 = new UpDown(Edit32, kMinLines, kMaxLines, Panel4);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(105, 8, 15, 20);
    Label35 = addLabel(Panel4, "Label35", QStringLiteral("解答行数："), 152, 12);
    Edit33 = addBox(Panel4, QStringLiteral("Edit33"), {208, 8, 25, 20});
    UpDown2 = new UpDown(Edit33, kMinLines, kMaxLines, Panel4);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->setGeometry(233, 8, 15, 20);
    Label33->setBuddy(Edit31);
    Label34->setBuddy(Edit32);
    Label35->setBuddy(Edit33);
    UpDown1->setPosition(3);
    UpDown2->setPosition(3);
}

QFrame* TForm5::createCategoryPanel(QWidget* client, const char* name, const char* headingName,
                                    const QString& heading, int left,
                                    std::array<QLineEdit*, kCategoryBoxes>& boxes, int firstEdit) {
    QFrame* panel = new QFrame(client);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(left, 72, 169, 361);
    QLabel* label = addLabel(panel, headingName, heading, 8, 8);
    if (firstEdit == 1)
        Label31 = label;
    else
        Label32 = label;
    for (int k = 0; k < kCategoryBoxes; ++k) {
        const int top = 30 + 22 * k;
        QLabel* code = addLabel(panel, nullptr, codeLabel(k + 1), 4, top + 4);
        QLineEdit* box = addBox(panel, QStringLiteral("Edit%1").arg(firstEdit + k), {32, top, 121, 20});
        code->setBuddy(box);
        // "１：" alone does not say which of the two columns the box is in.
        box->setAccessibleName(QString(heading).remove(QLatin1Char(' ')) + QLatin1Char(' ') +
                               code->text().chopped(1));
        boxes[static_cast<size_t>(k)] = box;
        if (k > 0) setTabOrder(boxes[static_cast<size_t>(k - 1)], boxes[static_cast<size_t>(k)]);
    }
    return panel;
}

TitleFields TForm5::fields() const {
    TitleFields fields;
    fields.title = Edit31->text().toStdString();
    fields.questionLines = Edit32->text().toStdString();
    fields.answerLines = Edit33->text().toStdString();
    for (size_t k = 0; k < categoryA.size(); ++k) {
        fields.categoryA[k] = categoryA[k]->text().toStdString();
        fields.categoryB[k] = categoryB[k]->text().toStdString();
    }
    return fields;
}

// The arrows take the counts as their positions; values outside 1 to 8 are shown as they are.
void TForm5::setFields(const TitleFields& fields) {
    Edit31->setText(q(fields.title));
    const std::optional<int> questionLines = lineCountOf(fields.questionLines);
    const std::optional<int> answerLines = lineCountOf(fields.answerLines);
    if (questionLines) UpDown1->setPosition(*questionLines);
    if (answerLines) UpDown2->setPosition(*answerLines);
    Edit32->setText(q(fields.questionLines));
    Edit33->setText(q(fields.answerLines));
    for (size_t k = 0; k < categoryA.size(); ++k) {
        categoryA[k]->setText(q(fields.categoryA[k]));
        categoryB[k]->setText(q(fields.categoryB[k]));
    }
}

void TForm5::Button1MouseUp() {
    TitleFields typed = fields();
    const bool stored = m_editor.RegisterTitleAndCategories(typed);
    Edit32->setText(q(typed.questionLines));
    Edit33->setText(q(typed.answerLines));
    if (stored) accept();
}

void TForm5::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

// Hints of the controls go to this window's status line while it is open.
bool TForm5::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

} // namespace rovik
