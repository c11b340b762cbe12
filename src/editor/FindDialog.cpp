#include "editor/FindDialog.h"

#include "datalist/FindCommands.h"
#include "gui/Help.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rovik {
namespace {
template <typename T> T* named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}
} // namespace

FindDialog::FindDialog(FindCommands& commands, QWidget* parent) : QDialog(parent), m_commands(commands) {
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("検索と置換"));
    setModal(false);
    installHelpKey(this, "topic24-find");

    FindText = named(new QLineEdit(this), "FindText");
    ReplaceText = named(new QLineEdit(this), "ReplaceText");
    auto* texts = new QGridLayout;
    auto* findLabel = new QLabel(QStringLiteral("検索する文字列:"), this);
    findLabel->setBuddy(FindText);
    texts->addWidget(findLabel, 0, 0);
    texts->addWidget(FindText, 0, 1);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後の文字列:"), this);
    replaceLabel->setBuddy(ReplaceText);
    m_replaceLabel = replaceLabel;
    texts->addWidget(m_replaceLabel, 1, 0);
    texts->addWidget(ReplaceText, 1, 1);

    auto* scope = new QGroupBox(QStringLiteral("範囲"), this);
    ScopeShown = named(new QRadioButton(QStringLiteral("表示中のﾀｲﾄﾙ"), scope), "ScopeShown");
    ScopeAll = named(new QRadioButton(QStringLiteral("全ﾀｲﾄﾙ"), scope), "ScopeAll");
    ScopeShown->setChecked(true);
    auto* scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(ScopeShown);
    scopeLayout->addWidget(ScopeAll);

    auto* fields = new QGroupBox(QStringLiteral("対象"), this);
    FieldQuestion = named(new QCheckBox(QStringLiteral("質問"), fields), "FieldQuestion");
    FieldAnswer = named(new QCheckBox(QStringLiteral("解答"), fields), "FieldAnswer");
    FieldReference = named(new QCheckBox(QStringLiteral("参考"), fields), "FieldReference");
    FieldNames = named(new QCheckBox(QStringLiteral("ﾀｲﾄﾙ・分類名"), fields), "FieldNames");
    for (QCheckBox* box : {FieldQuestion, FieldAnswer, FieldReference})
        box->setChecked(true);
    auto* fieldLayout = new QGridLayout(fields);
    fieldLayout->addWidget(FieldQuestion, 0, 0);
    fieldLayout->addWidget(FieldAnswer, 0, 1);
    fieldLayout->addWidget(FieldReference, 1, 0);
    fieldLayout->addWidget(FieldNames, 1, 1);

    MatchCase = named(new QCheckBox(QStringLiteral("大文字と小文字を区別"), this), "MatchCase");
    MatchWidth = named(new QCheckBox(QStringLiteral("全角と半角を区別"), this), "MatchWidth");

    FindNextButton = named(new QPushButton(QStringLiteral("次を検索"), this), "FindNextButton");
    FindPreviousButton = named(new QPushButton(QStringLiteral("前を検索"), this), "FindPreviousButton");
    ReplaceButton = named(new QPushButton(QStringLiteral("置換"), this), "ReplaceButton");
    ReplaceAllButton = named(new QPushButton(QStringLiteral("すべて置換"), this), "ReplaceAllButton");
    CloseButton = named(new QPushButton(QStringLiteral("閉じる"), this), "CloseButton");
    FindNextButton->setDefault(true);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
         {FindNextButton, FindPreviousButton, ReplaceButton, ReplaceAllButton, CloseButton})
        buttons->addWidget(button);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(texts);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(scope);
    boxes->addWidget(fields);
    left->addLayout(boxes);
    left->addWidget(MatchCase);
    left->addWidget(MatchWidth);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(FindText, &QLineEdit::textChanged, this, &FindDialog::updateButtons);
    connect(FindNextButton, &QPushButton::clicked, this, [this] {
        handOver();
        m_commands.FindNext(false);
    });
    connect(FindPreviousButton, &QPushButton::clicked, this, [this] {
        handOver();
        m_commands.FindNext(true);
    });
    connect(ReplaceButton, &QPushButton::clicked, this, [this] {
        handOver();
        m_commands.Replace();
    });
    connect(ReplaceAllButton, &QPushButton::clicked, this, [this] {
        handOver();
        m_commands.ReplaceAll();
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
    updateButtons();
}

void FindDialog::open(bool withReplace) {
    for (QWidget* widget : {m_replaceLabel, static_cast<QWidget*>(ReplaceText),
                            static_cast<QWidget*>(ReplaceButton), static_cast<QWidget*>(ReplaceAllButton)})
        widget->setVisible(withReplace);
    setWindowTitle(withReplace ? QStringLiteral("置換") : QStringLiteral("検索"));
    adjustSize();
    show();
    raise();
    activateWindow();
    FindText->setFocus();
    FindText->selectAll();
}

void FindDialog::handOver() {
    FindOptions options;
    options.text = FindText->text().toStdString();
    options.replacement = ReplaceText->text().toStdString();
    options.scope = ScopeAll->isChecked() ? FindScope::AllTitles : FindScope::ShownTitle;
    options.question = FieldQuestion->isChecked();
    options.answer = FieldAnswer->isChecked();
    options.reference = FieldReference->isChecked();
    options.names = FieldNames->isChecked();
    options.matchCase = MatchCase->isChecked();
    options.matchWidth = MatchWidth->isChecked();
    m_commands.setOptions(options);
}

void FindDialog::updateButtons() {
    const bool any = !FindText->text().isEmpty();
    for (QPushButton* button : {FindNextButton, FindPreviousButton, ReplaceButton, ReplaceAllButton})
        button->setEnabled(any);
}

} // namespace rovik
