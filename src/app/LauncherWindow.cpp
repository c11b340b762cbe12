#include "app/LauncherWindow.h"

#include "gui/Announcer.h"
#include "gui/ThemeColors.h"

#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "gui/AboutBox.h"
#include "gui/Help.h"
#include "gui/Hints.h"
#include "gui/QtPrompter.h"
#include "gui/WindowPlace.h"
#include "hotsync/InstallCommands.h"
#include "hotsync/TargetSettingsDialog.h"
#include "quiz/QuizWindow.h"
#include "settings/ProgramValues.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace rovik {
namespace {
constexpr int kClientWidth = 277;
constexpr int kClientHeight = 329;
constexpr int kStatusHeight = 22;

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, QRect place) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    return button;
}
} // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), m_ownPrompter(std::make_unique<QtPrompter>(this)),
      m_prompter(m_ownPrompter.get()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Rovik(ﾒﾆｭｰ)"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    createControls();
    createMenus();
    installHelpKey(this, "topic23", [this]() -> Prompter& { return *m_prompter; });
    FormCreate();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    adjustSize();
    setFixedSize(size());
    centreOnScreen(this);
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    LoadSettings(programValues());
}

void TForm1::createControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
    setCentralWidget(client);

    Button1 = makeButton(client, "Button1", QStringLiteral("デスクトップ版  Rovik"), {32, 32, 217, 25});
    Button2 =
        makeButton(client, "Button2", QStringLiteral("データ一覧・編集・インストール"), {32, 80, 217, 25});

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(24, 168, 233, 129);

    Label1 = new QLabel(QStringLiteral("以下は初めてｲﾝｽﾄｰﾙあるいはﾊﾞｰｼﾞｮﾝｱｯﾌﾟ版をｲﾝｽﾄｰﾙする場合に使用します。"
                                       "(上書きされます。)"),
                        Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette note = Label1->palette();
    note.setColor(QPalette::WindowText, themeColor(this, Qt::blue, QPalette::Link));
    Label1->setPalette(note);
    Label1->setGeometry(8, 8, 217, 49);

    Button3 =
        makeButton(Panel1, "Button3", QStringLiteral("RovikをPalmデバイスへインストール"), {8, 56, 217, 25});
    Button4 =
        makeButton(Panel1, "Button4", QStringLiteral("ｻﾝﾌﾟﾙﾃﾞｰﾀをPalmﾃﾞﾊﾞｲｽへｲﾝｽﾄｰﾙ"), {8, 96, 217, 25});

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setFixedHeight(kStatusHeight);
    StatusBar->setSizeGripEnabled(false);
    setStatusBar(StatusBar);
    m_announcer = new Announcer(this);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
}

void TForm1::createMenus() {
    auto* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto addItem = [this](QMenu* menu, const char* name, const QString& caption, const QString& hint) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        setHint(action, hint);
        return action;
    };
    QMenu* file = bar->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    file->setObjectName(QStringLiteral("File1"));
    Exit1 = addItem(file, "Exit1", QStringLiteral("終了(&X)"), QStringLiteral("|終了します。"));

    QMenu* start = bar->addMenu(QStringLiteral("起動(&K)"));
    start->setObjectName(QStringLiteral("K1"));
    HotSyncH1 = addItem(start, "HotSyncH1", QStringLiteral("HotSync(&H)"),
                        QStringLiteral("|ｲﾝｽﾄｰﾙするためにHotSyncを起動します。"));
    I1 = addItem(start, "I1", QStringLiteral("ｲﾝｽﾄｰﾙﾂｰﾙ(&I)..."),
                 QStringLiteral("|ｲﾝｽﾄｰﾙ予約状況を確認するために起動します。"));
    QAction* targets = addItem(start, "TargetSettings1", QStringLiteral("転送先の設定(&S)..."),
                               QStringLiteral("|Palmデバイスへの転送先を選びます。"));
    connect(targets, &QAction::triggered, this,
            [this] { editInstallTargets(this, programValues().startFolder, *m_prompter); });

    QMenu* help = bar->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->setObjectName(QStringLiteral("Help1"));
    ReadMeR1 = addItem(help, "ReadMeR1", QStringLiteral("ﾄﾋﾟｯｸの検索(&H)..."),
                       QStringLiteral("|ヘルプを起動します。"));
    About1 = addItem(help, "About1", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."),
                     QStringLiteral("|Rovikのバージョン、連絡先を表示します。"));

    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(HotSyncH1, &QAction::triggered, this, &TForm1::HotSyncH1Click);
    connect(I1, &QAction::triggered, this, &TForm1::I1Click);
    connect(ReadMeR1, &QAction::triggered, this, &TForm1::ReadMeR1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::Button1Click() {
    m_closeRefused = false; // the settings change: the next close tries again and tells
    TForm2 form(this);
    if (m_prompter != m_ownPrompter.get()) form.setPrompter(m_prompter);
    form.exec();
}

void TForm1::Button2Click() {
    openDataList();
}

void TForm1::openDataList(const std::string& file) {
    m_closeRefused = false;
    // A prompter given to the launcher (tests) serves the data list window too.
    Prompter* prompter = m_prompter == m_ownPrompter.get() ? nullptr : m_prompter;
    TForm3 form(this, prompter);
    // Loaded once the window is up, so that its questions and messages stand over it.
    if (!file.empty()) QTimer::singleShot(0, &form, [&form, file] { form.logic().openGivenFile(file); });
    form.showModal();
}

void TForm1::Button3Click() {
    reserveInstall(kRovikOpening);
}

void TForm1::Button4Click() {
    reserveInstall(kSampleDataOpening);
}

void TForm1::reserveInstall(const InstallOpening& opening) {
    InstallOutcome outcome = reserveReadyMadeInstall(this, opening, programValues().startFolder, *m_prompter);
    if (outcome.done)
        showStatusText(QString::fromStdString(outcome.statusText));
    else if (outcome.failed)
        StatusBar->clearMessage(); // an earlier reservation's success no longer describes the state
}

// The launcher is narrow: a long result (a long user name) loses its middle, so that its start
// and the target at its end stay in sight.
void TForm1::showStatusText(const QString& text) {
    constexpr int kMessageMargins = 12;
    StatusBar->showMessage(
        StatusBar->fontMetrics().elidedText(text, Qt::ElideMiddle, kClientWidth - kMessageMargins));
    m_announcer->announce(text);
}

void TForm1::HotSyncH1Click() {
    startHotSyncFrom(this, *m_prompter);
}

void TForm1::I1Click() {
    startInstallToolFrom(this, *m_prompter);
}

void TForm1::ReadMeR1Click() {
    openHelpFile(*m_prompter);
}

void TForm1::About1Click() {
    ShowAboutBox(this, m_prompter);
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!programValues().settingsProblem.empty())
        QMetaObject::invokeMethod(this, &TForm1::tellSettingsProblem, Qt::QueuedConnection);
}

// After the launcher has appeared, so the message stands over it.
void TForm1::tellSettingsProblem() {
    ProgramValues& values = programValues();
    if (values.settingsProblem.empty()) return;
    const std::string problem = values.settingsProblem;
    values.settingsProblem.clear();
    m_prompter->ask(problem, "確認", Buttons::Ok, Icon::Warning);
}

void TForm1::closeEvent(QCloseEvent* event) {
    const std::string notSaved = settingsNotSavedReason(programValues());
    std::string error;
    if ((notSaved.empty() && SaveSettings(programValues(), &error)) || m_closeRefused) {
        event->accept();
        return;
    }
    // The user hears which file failed and may mend it; closing again right away leaves without
    // the settings, since a file or folder that may not be written stays so however often asked.
    m_closeRefused = true;
    if (!notSaved.empty())
        m_prompter->ask(notSaved, "確認", Buttons::Ok, Icon::Warning);
    else
        m_prompter->ask(error, "エラー", Buttons::Ok, Icon::Error);
    event->ignore();
}

} // namespace rovik
