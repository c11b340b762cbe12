// Renders every window of the program to PNG files, with the sample data loaded, so a window can
// be looked at without a screen: rovik-window-shots SAMPLE.TXT OUTDIR (run offscreen).
#include "app/LauncherWindow.h"
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "gui/AboutBox.h"
#include "gui/Fonts.h"
#include "gui/ThemeColors.h"
#include "hotsync/InstallDialog.h"
#include "import/ChoiceDisplayDialog.h"
#include "import/TabTextFormatDialog.h"
#include "platform/Prompter.h"
#include "quiz/LineSettingsDialog.h"
#include "quiz/QuizWindow.h"
#include "quiz/TitleSelectDialog.h"
#include "settings/ProgramValues.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <cstdio>
#include <filesystem>

namespace {
using namespace rovik;

QString g_outDir;

void save(QWidget* window, const QString& name) {
    QString path = g_outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(path);
    std::printf("%s\n", path.toUtf8().constData());
}

// Answers every question with its first choice and cancels every file dialog.
class AutoPrompter : public Prompter {
public:
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }
};

// Every modal dialog that opens is saved under its object name and closed: in the title
// selection the first title is chosen, the others are cancelled.
void grabModalDialogs() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->property("grabbed").toBool()) return;
        dialog->setProperty("grabbed", true);
        QApplication::processEvents();
        save(dialog, dialog->objectName());
        if (auto* titles = qobject_cast<TForm6*>(dialog))
            titles->StringGrid1->cellClicked(0, 0);
        else
            dialog->reject();
    });
    timer->start(100);
}

void waitFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

template <typename Window> void showAndSave(Window& window, const QString& name) {
    window.show();
    QApplication::processEvents();
    save(&window, name);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: rovik-window-shots SAMPLE.TXT OUTDIR\n");
        return 2;
    }
    QApplication app(argc, argv);
    installFontSubstitutions();
    // As the program: ROVIK_PALETTE=dark renders the windows in Fusion with a dark palette.
    if (qEnvironmentVariable("ROVIK_PALETTE") == QLatin1String("dark")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(darkPalette());
    }
    const std::string sample = std::filesystem::absolute(argv[1]).string();
    g_outDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(g_outDir);
    grabModalDialogs();
    AutoPrompter prompter;

    TForm1 launcher;
    launcher.setPrompter(&prompter);
    showAndSave(launcher, QStringLiteral("Form1"));
    TAboutBox about;
    showAndSave(about, QStringLiteral("AboutBox"));

    TForm3 dataList(nullptr, &prompter);
    dataList.logic().openTextFile(sample);
    showAndSave(dataList, QStringLiteral("Form3"));
    dataList.logic().OpenRecordEditor();
    dataList.logic().OpenTitleEditor();
    const std::string broken = programValues().startFolder + "/broken-sample.txt";
    std::FILE* f = std::fopen(broken.c_str(), "wb");
    if (f) {
        std::fputs("tTitle\t\r\n11\tquestion only\r\n", f);
        std::fclose(f);
        dataList.logic().openTextFile(broken); // refused: the error log dialog
    }
    TForm10::chooseFormat(nullptr);
    TForm11::chooseShowChoices(nullptr);

    InstallRequest request;
    request.source = request.target = "SampleQA.pdb";
    request.readyMade = true;
    TForm7 install(request, programValues().startFolder, prompter, {});
    showAndSave(install, QStringLiteral("Form7"));

    TForm2 quiz(programValues(), nullptr);
    quiz.setPrompter(&prompter);
    quiz.show();
    waitFor(1500); // the opening loads the sample and asks for a title
    quiz.Button1->click();
    quiz.Button2->click();
    QApplication::processEvents();
    save(&quiz, QStringLiteral("Form2"));
#ifdef ROVIK_HISTORY
    // Two judged answers, so that the statistics window has a run to draw.
    quiz.Button4->click();
    quiz.Button2->click();
    quiz.Button3->click();
    quiz.Button5->click();
    quiz.Statistics1->trigger(); // saved as StatisticsWindow
#endif
    TForm8 lines(3, 3);
    showAndSave(lines, QStringLiteral("Form8"));
    return 0;
}
