#include "editor/RecordEditorWindow.h"

#include "editor/RecordTextBox.h"
#include "gui/DialogFrame.h"
#include "gui/Help.h"
#include "gui/Hints.h"
#include "gui/ThemeColors.h"
#include "gui/WindowPlace.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextDocumentFragment>

namespace rovik {
namespace {
constexpr int kClientWidth = 634;
constexpr int kClientHeight = 292;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, QRect place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    // Enter in a category box must not press a button.
    button->setAutoDefault(false);
    return button;
}

QAction* addMenuItem(QMenu* menu, const char* name, const QString& caption, const QString& hint) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) action->setStatusTip(hint);
    return action;
}
} // namespace

TForm4::TForm4(DataListLogic& logic, Prompter& prompter, QWidget* parent) : QDialog(parent) {
    setupEditorDialog(this, "Form4");
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    createMenus();
    StatusBar1 = new QStatusBar;
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    QWidget* client = addClientArea(this, MainMenu1, StatusBar1, kClientWidth, kClientHeight);
    createControls(client);
    createButtons(client);
    connectEvents();
    installHelpKey(this, "topic25");
    m_editor = std::make_unique<RecordEditor>(logic, prompter, *this);
    m_editor->FormCreate();
}

TForm4::~TForm4() = default;

void TForm4::createMenus() {
    File1 = MainMenu1->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    Exit1 = addMenuItem(File1, "Exit1", QStringLiteral("閉じる(&X)"), QStringLiteral("画面を閉じます。"));
    Edit3 = MainMenu1->addMenu(QStringLiteral("編集(&E)"));
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Copy1 =
        addMenuItem(Edit3, "Copy1", QStringLiteral("ｺﾋﾟｰ(&C)"), QStringLiteral("選択部分をコピーします。"));
    P1 = addMenuItem(Edit3, "P1", QStringLiteral("貼付け(&P)"), QStringLiteral("コピー内容を貼り付けます。"));
    Edit3->addSeparator();
    R1 = addMenuItem(Edit3, "R1", QStringLiteral("ﾚｺｰﾄﾞｺﾋﾟｰ(&R)"),
                     QStringLiteral("表示中のレコードをコピーします。"));
    H1 = addMenuItem(Edit3, "H1", QStringLiteral("ﾚｺｰﾄﾞ貼付け(&H)"),
                     QStringLiteral("コピーされたレコードを追加します。"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Copy2 = addMenuItem(PopupMenu1, "Copy2", QStringLiteral("ｺﾋﾟｰ"), QString());
    N2 = addMenuItem(PopupMenu1, "N2", QStringLiteral("貼付け"), QString());
}

void TForm4::createControls(QWidget* client) {
    Label3 = addLabel(client, "Label3", QStringLiteral("分類A："), 8, 8);
    ComboBox1 = new QComboBox(client);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(8, 24, 145, 20);
    Label4 = addLabel(client, "Label4", QStringLiteral("分類B："), 168, 8);
    ComboBox2 = new QComboBox(client);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->setGeometry(168, 24, 145, 20);
    for (QComboBox* box : {ComboBox1, ComboBox2}) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setMaxVisibleItems(16);
    }

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setGeometry(328, 0, 297, 65);
    Label8 = addLabel(Panel1, "Label8", QString(), 8, 8);
    Label6 = addLabel(Panel1, "Label6", QString(), 8, 27);
    Label7 = addLabel(Panel1, "Label7", QString(), 8, 45);
    for (QLabel* label : {Label8, Label6, Label7})
        label->resize(281, 16);

    const struct {
        const char* labelName;
        const char* caption;
        const char* memoName;
        int left;
    } boxes[] = {{"Label1", "質問：", "Memo1", 8},
                 {"Label2", "解答：", "Memo2", 216},
                 {"Label5", "参考：", "Memo3", 424}};
    QLabel* labels[3];
    QPlainTextEdit* memos[3];
    for (int i = 0; i < 3; ++i) {
        labels[i] =
            addLabel(client, boxes[i].labelName, QString::fromUtf8(boxes[i].caption), boxes[i].left, 72);
        memos[i] = new RecordTextBox(client);
        memos[i]->setObjectName(QLatin1String(boxes[i].memoName));
        memos[i]->setGeometry(boxes[i].left, 88, 200, 115);
        memos[i]->setTabChangesFocus(true);
        memos[i]->setContextMenuPolicy(Qt::CustomContextMenu);
        memos[i]->installEventFilter(this);
    }
    Label3->setBuddy(ComboBox1);
    Label4->setBuddy(ComboBox2);
    for (int i = 0; i < 3; ++i)
        labels[i]->setBuddy(memos[i]);
    Label1 = labels[0];
    Label2 = labels[1];
    Label5 = labels[2];
    Memo1 = memos[0];
    Memo2 = memos[1];
    Memo3 = memos[2];
}

void TForm4::createButtons(QWidget* client) {
    Button6 = addButton(client, "Button6", QStringLiteral("新　規(&S)"), {160, 210, 75, 25});
    Button1 = addButton(client, "Button1", QStringLiteral("登  録(&R)"), {240, 210, 75, 25});
    Button3 = addButton(client, "Button3", QStringLiteral("追  加(&A)"), {320, 210, 75, 25});
    Button2 = addButton(client, "Button2", QStringLiteral("閉じる(&C)"), {400, 210, 75, 25});
    Button4 = addButton(client, "Button4", QStringLiteral("前ﾚｺｰﾄﾞ(&F)"), {232, 244, 73, 25});
    Button5 = addButton(client, "Button5", QStringLiteral("次ﾚｺｰﾄﾞ(&N)"), {328, 244, 73, 25});
    // Only 登録 and 追加 show their hints as tooltips too.
    setHint(Button1, QStringLiteral("表示中のデータを上書き登録します。"));
    setHint(Button3, QStringLiteral("表示中のデータを最終へ追加登録します。"));
    Button6->setStatusTip(QStringLiteral("データを新規に作成します。"));
    Button2->setStatusTip(QStringLiteral("画面を閉じます。"));
    Button4->setStatusTip(QStringLiteral("１つ前のレコードを表示します。"));
    Button5->setStatusTip(QStringLiteral("次のレコードを表示します。"));

    QWidget* order[] = {Memo1,   Memo2,   Memo3,   Button6,   Button1,  Button3,
                        Button2, Button4, Button5, ComboBox1, ComboBox2};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void TForm4::connectEvents() {
    connect(Exit1, &QAction::triggered, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, [this] { m_editor->Button1Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { m_editor->Button3Click(); });
    connect(Button4, &QPushButton::clicked, this, [this] { m_editor->Button4Click(); });
    connect(Button5, &QPushButton::clicked, this, [this] { m_editor->Button5Click(); });
    connect(Button6, &QPushButton::clicked, this, [this] { m_editor->Button6Click(); });
    for (QAction* copy : {Copy1, Copy2})
        connect(copy, &QAction::triggered, this, [this] { m_editor->CopySelection(); });
    for (QAction* paste : {P1, N2})
        connect(paste, &QAction::triggered, this, [this] { m_editor->PasteClipboard(); });
    connect(R1, &QAction::triggered, this, [this] { m_editor->CopyRecordLine(); });
    connect(H1, &QAction::triggered, this, [this] { m_editor->PasteRecordLine(); });
    connect(Edit3, &QMenu::aboutToShow, this, [this] { m_editor->EditMenuOpening(); });
    for (QPlainTextEdit* box : {Memo1, Memo2}) {
        connect(box, &QPlainTextEdit::textChanged, this, [this] {
            if (m_editor) m_editor->TextChanged();
        });
    }
    for (QPlainTextEdit* box : {Memo1, Memo2, Memo3}) {
        connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& pos) {
            m_editor->PopupMenuOpening();
            PopupMenu1->popup(box->viewport()->mapToGlobal(pos));
        });
    }
}

void TForm4::reject() {
    if (m_editor->FormCloseQuery()) QDialog::reject();
}

void TForm4::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreOnScreen(this);
}

// Hints of the controls and menu items go to this window's status line while it is open.
bool TForm4::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        StatusBar1->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

// Enter does not start a new line in the text boxes.
bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == Memo1 || watched == Memo2 || watched == Memo3)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QDialog::eventFilter(watched, event);
}

QComboBox* TForm4::comboBox(CategoryBox box) const {
    return box == CategoryBox::A ? ComboBox1 : ComboBox2;
}

QPlainTextEdit* TForm4::memo(RecordBox box) const {
    switch (box) {
    case RecordBox::Question:
        return Memo1;
    case RecordBox::Answer:
        return Memo2;
    case RecordBox::Reference:
        break;
    }
    return Memo3;
}

void TForm4::setCategoryItems(CategoryBox box, const std::vector<std::string>& items) {
    QComboBox* combo = comboBox(box);
    combo->clear();
    for (const auto& item : items)
        combo->addItem(q(item));
}

void TForm4::selectCategory(CategoryBox box, int index) {
    QComboBox* combo = comboBox(box);
    combo->setCurrentIndex(index < combo->count() ? index : -1);
    if (combo->currentIndex() < 0) combo->setEditText(QString());
}

int TForm4::selectedCategory(CategoryBox box) const {
    QComboBox* combo = comboBox(box);
    const int index = combo->currentIndex();
    if (index >= 0 && combo->itemText(index) == combo->currentText()) return index;
    return combo->findText(combo->currentText(), Qt::MatchExactly);
}

std::string TForm4::text(RecordBox box) const {
    return memo(box)->toPlainText().toStdString();
}

void TForm4::setText(RecordBox box, const std::string& text) {
    memo(box)->setPlainText(q(text));
}

std::string TForm4::selectedText(RecordBox box) const {
    // The document's paragraph separators are line breaks again here.
    return memo(box)->textCursor().selection().toPlainText().toStdString();
}

std::optional<RecordBox> TForm4::focusedBox() const {
    for (RecordBox box : {RecordBox::Question, RecordBox::Answer, RecordBox::Reference})
        if (focusWidget() == memo(box)) return box;
    return std::nullopt;
}

void TForm4::focusBox(RecordBox box) {
    memo(box)->setFocus();
}

void TForm4::insertText(RecordBox box, const std::string& text) {
    memo(box)->insertPlainText(q(text));
}

void TForm4::setControlEnabled(RecordControl control, bool enabled) {
    switch (control) {
    case RecordControl::Store:
        Button1->setEnabled(enabled);
        break;
    case RecordControl::Add:
        Button3->setEnabled(enabled);
        break;
    case RecordControl::Previous:
        Button4->setEnabled(enabled);
        break;
    case RecordControl::Next:
        Button5->setEnabled(enabled);
        break;
    case RecordControl::Paste:
        P1->setEnabled(enabled);
        N2->setEnabled(enabled);
        break;
    case RecordControl::RecordPaste:
        H1->setEnabled(enabled);
        break;
    }
}

void TForm4::setTitleLabel(const std::string& text) {
    Label8->setText(q(text));
}

void TForm4::setRecordNumberLabel(const std::string& text) {
    Label6->setText(q(text));
}

void TForm4::setByteCountLabel(const std::string& text, bool warning) {
    Label7->setText(q(text));
    QPalette palette = Label7->palette();
    const QWidget* panel = Label7->parentWidget();
    const bool light = isLightPalette(panel->palette());
    // Red on a dark window is too dark: a lighter red keeps the warning readable.
    const QColor red = light ? QColor(Qt::red) : QColor(255, 120, 120);
    palette.setColor(QPalette::WindowText,
                     warning ? red : themeColor(panel, Qt::black, QPalette::WindowText));
    Label7->setPalette(palette);
}

std::optional<std::string> TForm4::clipboardText() const {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return clipboard->text().toStdString();
}

void TForm4::setClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(q(text));
}

} // namespace rovik
