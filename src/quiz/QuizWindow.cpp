#include "quiz/QuizWindow.h"

#include "gui/Announcer.h"

#ifdef ROVIK_HISTORY
#include "history/HistoryRecorder.h"
#include "quiz/StatisticsWindow.h"
#endif

#include "gui/AboutBox.h"
#include "gui/Help.h"
#include "gui/QtPrompter.h"
#include "gui/WindowPlace.h"
#include "platform/Cp932.h"
#include "quiz/LineSettingsDialog.h"
#include "quiz/TitleSelectDialog.h"
#include "settings/ProgramValues.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

#include <algorithm>

namespace rovik {
namespace {
constexpr int kClientWidth = 297;
constexpr int kClientHeight = 416;
constexpr int kStatusHeight = 22;
constexpr int kListPadding = 12;
constexpr int kOptionPixels = 13;
constexpr int kSmallestOptionPixels = 9;

int textFieldWidth(const QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    return box->style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
        .width();
}

// The box keeps its place: a name wider than its text field is shown a size smaller rather than
// cut off (山・川・湖); the list keeps the usual size.
void fitNamesInto(QComboBox* box, const QStringList& names) {
    QFont font = box->font();
    font.setPixelSize(kOptionPixels);
    box->view()->setFont(font);
    const int field = textFieldWidth(box);
    for (; font.pixelSize() > kSmallestOptionPixels; font.setPixelSize(font.pixelSize() - 1)) {
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(names.begin(), names.end(), [&](const QString& name) {
            return metrics.horizontalAdvance(name) <= field;
        });
        if (fits) break;
    }
    box->setFont(font);
}
} // namespace

// The engine keeps a reference to its prompter; this one passes each prompt on to whichever
// prompter the window has now, so a test can inject its own after construction.
class TForm2::Forwarder : public Prompter {
public:
    Prompter* target = nullptr;
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override {
        return target->ask(text, caption, buttons, icon);
    }
    std::optional<std::string> openFile(const FileDialogRequest& request) override {
        return target->openFile(request);
    }
    std::optional<std::string> saveFile(const FileDialogRequest& request) override {
        return target->saveFile(request);
    }
    std::optional<int> chooseImportFormat() override { return target->chooseImportFormat(); }
    std::optional<bool> chooseShowChoices() override { return target->chooseShowChoices(); }
};

TForm2::TForm2(QWidget* parent) : TForm2(programValues(), parent) {}

TForm2::TForm2(ProgramValues& values, QWidget* parent)
    : QDialog(parent), m_values(values), m_ownPrompter(std::make_unique<QtPrompter>(this)),
      m_forwarder(std::make_unique<Forwarder>()) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Rovik(ﾃﾞｽｸﾄｯﾌﾟ)"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    m_forwarder->target = m_ownPrompter.get();
    m_logic = std::make_unique<QuizWindowLogic>(static_cast<QuizWindowView&>(*this), *m_forwarder,
                                                values.startFolder);
#ifdef ROVIK_HISTORY
    // The status line shows what fits; the whole reason is on its tooltip.
    m_history = std::make_unique<HistoryRecorder>(defaultHistoryPath(), [this](const std::string& note) {
        setStatusText(note);
        StatusBar->setToolTip(QString::fromStdString(note));
    });
    m_logic->setRecorder(m_history.get());
#endif

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    client->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
    createControls(client);
    m_announcer = new Announcer(client);
    createMenus();
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFixedSize(kClientWidth, kStatusHeight);
    StatusBar->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setMenuBar(SDIAppMenu);
    layout->addWidget(client);
    layout->addWidget(StatusBar);

    applyLayout(layoutAreas(3, 3));
    installHelpKey(this, "topic10", [this]() -> Prompter& { return *m_forwarder; });
}

TForm2::~TForm2() {
    if (m_busy) QApplication::restoreOverrideCursor();
}

void TForm2::setPrompter(Prompter* prompter) {
    m_forwarder->target = prompter ? prompter : m_ownPrompter.get();
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_opened) return;
    centreOnScreen(this);
    // After the window has appeared, as a first activation would.
    QMetaObject::invokeMethod(this, &TForm2::FormActivate, Qt::QueuedConnection);
}

void TForm2::FormActivate() {
    if (m_opened) return;
    m_opened = true;
    m_logic->Opening();
}

bool TForm2::event(QEvent* event) {
    // A dialog has no status line of its own to route hints to; this window's is StatusBar.
    if (event->type() == QEvent::StatusTip) {
        StatusBar->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

// Esc must not end a drill (and its wrong marks) by accident; 閉じる and the frame close it.
void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::done(int result) {
    FormCloseQuery();
    QDialog::done(result);
}

void TForm2::FormCloseQuery() {
    storeQuizSelectionLine(m_values.settings, quizSelectionLine(m_logic->chosenTitle(), optionEntries()));
}

OptionEntries TForm2::optionEntries() const {
    return {ComboBox1->currentIndex(), ComboBox2->currentIndex(), ComboBox3->currentIndex(),
            ComboBox4->currentIndex(), ComboBox5->currentIndex(), ComboBox6->currentIndex()};
}

void TForm2::Button1Click() {
    m_logic->Start(optionEntries());
}

void TForm2::Button2Click() {
    m_logic->engine().ShowAnswer();
}

void TForm2::Button3Click() {
    m_logic->engine().MarkCorrect();
}

void TForm2::Button4Click() {
    m_logic->engine().MarkIncorrect();
}

void TForm2::Button5Click() {
    m_logic->engine().StopRun();
}

void TForm2::Button6Click() {
    m_logic->SelectTitle();
}

void TForm2::T1Click() {
    m_logic->SelectTitle();
}

void TForm2::OpenItemClick() {
    m_logic->OpenText();
}

void TForm2::PDBP1Click() {
    m_logic->OpenPdb();
}

void TForm2::S1Click() {
    TForm8 dialog(m_layout.questionLines, m_layout.answerLines, this);
    dialog.exec();
    if (dialog.applied()) applyLayout(dialog.layout());
}

void TForm2::Statistics1Click() {
#ifdef ROVIK_HISTORY
    const QuizEngine& engine = m_logic->engine();
    StatisticsWindow::Request request;
    for (const std::string& name : engine.titleNames())
        request.titles.push_back(cp932ToUtf8(name));
    const int loaded = engine.loadedTitle();
    const bool titleLoaded = loaded >= 1 && loaded <= engine.titleCount();
    request.shown = titleLoaded ? loaded - 1 : 0;
    request.offerMostMissed = true;
    // A run is started only between runs, as 開始 is.
    request.quizTitle = titleLoaded && !engine.running() ? loaded - 1 : -1;
    // The window's own dialogs belong over it; a prompter a test put here answers for it too.
    const bool ownPrompter = m_forwarder->target == m_ownPrompter.get();
    StatisticsWindow window(request, ownPrompter ? nullptr : m_forwarder.get(), this);
    window.exec();
    if (std::optional<int> count = window.mostMissedCount())
        m_logic->StartMostMissed(optionEntries(), window.model().mostMissedKeys(), *count);
#endif
}

void TForm2::About1Click() {
    ShowAboutBox(this, m_forwarder.get());
}

void TForm2::ReadMe1Click() {
    openHelpFile(*m_forwarder);
}

void TForm2::applyLayout(const LineLayout& layout) {
    m_layout = layout;
    Memo2->setGeometry(10, layout.question.top, 279, layout.question.height);
    Memo3->setGeometry(10, layout.answer.top, 279, layout.answer.height);
    Memo4->setGeometry(10, layout.reference.top, 279, layout.reference.height);
    Memo4->setVisible(layout.reference.height > 0);
    for (QPlainTextEdit* memo : {Memo2, Memo3, Memo4})
        fitOneLineArea(memo);
}

// An area of one line has no room for a scroll bar's arrows or a margin: they would leave no line
// of text to read.
void TForm2::fitOneLineArea(QPlainTextEdit* area) {
    const bool oneLine = area->height() < 2 * area->fontMetrics().height();
    area->setVerticalScrollBarPolicy(oneLine ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    area->document()->setDocumentMargin(oneLine ? 0 : 1);
}

QPlainTextEdit* TForm2::area(QuizArea which) const {
    switch (which) {
    case QuizArea::Progress:
        return Memo1;
    case QuizArea::Question:
        return Memo2;
    case QuizArea::Answer:
        return Memo3;
    case QuizArea::Reference:
        return Memo4;
    }
    return Memo1;
}

void TForm2::setAreaText(QuizArea which, const std::string& text) {
    QPlainTextEdit* memo = area(which);
    memo->setPlainText(QString::fromStdString(text));
    memo->moveCursor(QTextCursor::Start);
    // The areas never take the focus: what the drill shows is said (counter and question after
    // 開始, 正解 and 不正解; answer and reference after 解答).
    m_announcer->announce(memo->toPlainText());
}

void TForm2::setAnswerButtons(bool answer, bool correct, bool incorrect) {
    Button2->setEnabled(answer);
    Button3->setEnabled(correct);
    Button4->setEnabled(incorrect);
    // The focus follows the drill (解答, then 正解): disabling the focused button would hand it
    // to 中止, and the next Enter would end the run.
    if (answer)
        Button2->setFocus();
    else if (correct)
        Button3->setFocus();
}

void TForm2::setRunControlsUsable(bool usable) {
    for (QWidget* control : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(ComboBox2),
                             static_cast<QWidget*>(ComboBox3), static_cast<QWidget*>(ComboBox4),
                             static_cast<QWidget*>(ComboBox5), static_cast<QWidget*>(ComboBox6),
                             static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button6)})
        control->setEnabled(usable);
}

void TForm2::setCategoryEntries(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    auto fill = [](QComboBox* box, const std::vector<std::string>& names) {
        box->clear();
        box->addItem(QStringLiteral("すべて"));
        int widest = 0;
        for (const std::string& name : names) {
            box->addItem(QString::fromStdString(name));
            widest = std::max(widest, box->fontMetrics().horizontalAdvance(QString::fromStdString(name)));
        }
        // The box keeps its place; its list opens wide enough to show every name whole.
        const int chrome = 2 * box->view()->frameWidth() +
                           box->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + kListPadding;
        box->view()->setMinimumWidth(std::max(box->width(), widest + chrome));
        QStringList texts;
        for (const std::string& name : names)
            texts << QString::fromStdString(name);
        fitNamesInto(box, texts);
    };
    fill(ComboBox1, a);
    fill(ComboBox2, b);
}

void TForm2::resetOptions() {
    for (QComboBox* box : {ComboBox1, ComboBox2, ComboBox3, ComboBox4, ComboBox5, ComboBox6})
        box->setCurrentIndex(0);
}

void TForm2::setCaption(const std::string& text) {
    setWindowTitle(QString::fromStdString(text));
}

void TForm2::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::optional<int> TForm2::chooseTitle(const std::vector<std::string>& names) {
    TForm6 dialog(names, this);
    dialog.exec();
    return dialog.chosenRow();
}

void TForm2::setTitleMenuUsable(bool usable) {
    T1->setEnabled(usable);
}

void TForm2::setStatusText(const std::string& text) {
    StatusBar->showMessage(QString::fromStdString(text));
}

} // namespace rovik
