// The quiz window's controls and menu, at the places and with the names of its form.
#include "quiz/QuizWindow.h"

#include "gui/Hints.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace rovik {
namespace {
QFont gothic(int pixels) {
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setPixelSize(pixels);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QPoint place) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(gothic(13));
    label->move(place);
    label->adjustSize();
    return label;
}

// A fixed list: a typed text that matches no entry would leave the engine without a selection.
QComboBox* makeBox(QWidget* parent, const char* name, const QStringList& entries, QRect place) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(false);
    box->setFont(gothic(13));
    box->addItems(entries);
    box->setCurrentIndex(-1);
    box->setGeometry(place);
    // Reachable with Tab in screen order (creation order), so the options need no mouse.
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

QPlainTextEdit* makeArea(QWidget* parent, const char* name, QRect place) {
    auto* area = new QPlainTextEdit(parent);
    area->setObjectName(QLatin1String(name));
    area->setReadOnly(true);
    area->setFont(gothic(16));
    area->setFocusPolicy(Qt::ClickFocus);
    area->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->document()->setDocumentMargin(1);
    area->setGeometry(place);
    return area;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect place,
                        bool enabled = true) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    button->setEnabled(enabled);
    return button;
}

QAction* makeItem(QMenu* menu, const char* name, const QString& caption, const QString& hint = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) setHint(action, hint);
    return action;
}
} // namespace

void TForm2::createControls(QWidget* client) {
    Label1 = makeLabel(client, "Label1", QStringLiteral("分類A"), {8, 8});
    Label2 = makeLabel(client, "Label2", QStringLiteral("分類B"), {104, 8});
    Label3 = makeLabel(client, "Label3", QStringLiteral("逆質問"), {200, 8});
    Label4 = makeLabel(client, "Label4", QStringLiteral("出題順"), {8, 48});
    Label5 = makeLabel(client, "Label5", QStringLiteral("対象"), {104, 48});
    Label6 = makeLabel(client, "Label6", QStringLiteral("分割"), {200, 48});
    ComboBox1 = makeBox(client, "ComboBox1", {QStringLiteral("すべて")}, {8, 24, 89, 21});
    ComboBox2 = makeBox(client, "ComboBox2", {QStringLiteral("すべて")}, {104, 24, 89, 21});
    ComboBox3 =
        makeBox(client, "ComboBox3", {QStringLiteral("正質問"), QStringLiteral("逆質問")}, {200, 24, 89, 21});
    ComboBox4 =
        makeBox(client, "ComboBox4", {QStringLiteral("順番"), QStringLiteral("ﾗﾝﾀﾞﾑ")}, {8, 64, 89, 21});
    ComboBox5 = makeBox(client, "ComboBox5", {QStringLiteral("すべて"), QStringLiteral("誤答のみ")},
                        {104, 64, 89, 21});
    ComboBox6 = makeBox(client, "ComboBox6",
                        {QStringLiteral("分割なし"), QStringLiteral("5問づつ"), QStringLiteral("10問づつ"),
                         QStringLiteral("15問づつ"), QStringLiteral("20問づつ")},
                        {200, 64, 89, 21});

    const QLabel* labels[] = {Label1, Label2, Label3, Label4, Label5, Label6};
    QComboBox* boxes[] = {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6};
    for (int i = 0; i < 6; ++i)
        const_cast<QLabel*>(labels[i])->setBuddy(boxes[i]);

    Memo1 = makeArea(client, "Memo1", {10, 96, 191, 25});
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2 = makeArea(client, "Memo2", {10, 128, 279, 57});
    Memo3 = makeArea(client, "Memo3", {10, 192, 279, 57});
    Memo4 = makeArea(client, "Memo4", {10, 256, 279, 57});
    // The areas have no label on screen; a screen reader needs to know which text it is in.
    Memo1->setAccessibleName(QStringLiteral("問題番号"));
    Memo2->setAccessibleName(QStringLiteral("質問"));
    Memo3->setAccessibleName(QStringLiteral("解答"));
    Memo4->setAccessibleName(QStringLiteral("参考"));

    Button1 = makeButton(client, "Button1", QStringLiteral("開始(&E)"), {208, 96, 75, 25});
    Button2 = makeButton(client, "Button2", QStringLiteral("解答(&A)"), {16, 320, 75, 25}, false);
    Button3 = makeButton(client, "Button3", QStringLiteral("正解(&S)"), {112, 320, 75, 25}, false);
    Button4 = makeButton(client, "Button4", QStringLiteral("不正解(&D)"), {208, 320, 75, 25}, false);
    Button5 = makeButton(client, "Button5", QStringLiteral("中止(&X)"), {32, 360, 75, 25});
    Button6 = makeButton(client, "Button6", QStringLiteral("タイトル選択(&C)"), {120, 360, 145, 25});
    // Alt+X belongs to 閉じる(&X) of the menu; the button keeps its underlined X only.
    Button5->setShortcut(QKeySequence());

    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm2::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm2::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm2::Button6Click);
}

void TForm2::createMenus() {
    SDIAppMenu = new QMenuBar(this);
    SDIAppMenu->setObjectName(QStringLiteral("SDIAppMenu"));
    FileMenu = SDIAppMenu->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    OpenItem = makeItem(FileMenu, "OpenItem", QStringLiteral("開く・ﾃｷｽﾄ(&O)..."),
                        QStringLiteral("ﾌｧｲﾙを開きます。"));
    PDBP1 = makeItem(FileMenu, "PDBP1", QStringLiteral("開く・PDB(&P)..."));
    FileMenu->addSeparator();
    T1 =
        makeItem(FileMenu, "T1", QStringLiteral("ﾀｲﾄﾙ選択(&T)..."), QStringLiteral("タイトルを選択します。"));
    T1->setEnabled(false);
    S1 = makeItem(FileMenu, "S1", QStringLiteral("行数設定(&S)..."),
                  QStringLiteral("質問、解答の表示行数を設定します。"));
    FileMenu->addSeparator();
#ifdef ROVIK_HISTORY
    Statistics1 = makeItem(FileMenu, "Statistics1", QStringLiteral("統計…"),
                           QStringLiteral("練習の履歴をグラフと表で表示します。"));
    connect(Statistics1, &QAction::triggered, this, &TForm2::Statistics1Click);
#endif
    ExitItem =
        makeItem(FileMenu, "ExitItem", QStringLiteral("閉じる(&X)"), QStringLiteral("画面を閉じます。"));
    ExitItem->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));
    addAction(ExitItem);

    Help1 = SDIAppMenu->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    Help1->setObjectName(QStringLiteral("Help1"));
    About1 = makeItem(Help1, "About1", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    ReadMe1 = makeItem(Help1, "ReadMe1", QStringLiteral("Help(&H)..."));

    connect(OpenItem, &QAction::triggered, this, &TForm2::OpenItemClick);
    connect(PDBP1, &QAction::triggered, this, &TForm2::PDBP1Click);
    connect(T1, &QAction::triggered, this, &TForm2::T1Click);
    connect(S1, &QAction::triggered, this, &TForm2::S1Click);
    connect(ExitItem, &QAction::triggered, this, &QWidget::close);
    connect(About1, &QAction::triggered, this, &TForm2::About1Click);
    connect(ReadMe1, &QAction::triggered, this, &TForm2::ReadMe1Click);
}

} // namespace rovik
