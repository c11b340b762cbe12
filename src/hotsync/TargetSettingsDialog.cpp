#include "hotsync/TargetSettingsDialog.h"

#include "gui/Help.h"
#include "hotsync/Hotsync.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/ProgramWait.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rovik {

TargetSettingsDialog::TargetSettingsDialog(TargetEnvironment env, const std::vector<TargetFinding>& findings,
                                           Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_env(std::move(env)), m_prompter(prompter) {
    setObjectName(QStringLiteral("TargetSettings"));
    setWindowTitle(QStringLiteral("転送先の設定"));
    installHelpKey(this, kHelpTopic);

    const TargetSettings settings = loadTargetSettings(m_env);
    std::string problem;
    m_palmFolder = PalmDesktopTarget().palmFolder(problem);

    auto* layout = new QVBoxLayout(this);
    LabelFound = new QLabel(QStringLiteral("作ったデータをPalmデバイスへ送る方法を選びます。"), this);
    LabelFound->setObjectName(QStringLiteral("LabelFound"));
    LabelFound->setWordWrap(true);
    layout->addWidget(LabelFound);

    // An unframed holder: a screen reader names the radio buttons' group by it.
    auto* targets = new QWidget(this);
    targets->setObjectName(QStringLiteral("TargetGroup"));
    targets->setAccessibleName(QStringLiteral("転送先"));
    auto* targetLayout = new QVBoxLayout(targets);
    targetLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(targets);
    auto* group = new QButtonGroup(this);
    RadioAuto = new QRadioButton(QStringLiteral("自動（見つかった最初のもの）"), targets);
    RadioAuto->setObjectName(QStringLiteral("RadioAuto"));
    group->addButton(RadioAuto);
    targetLayout->addWidget(RadioAuto);
    RadioAuto->setChecked(!settings.target);
    static const char* const kNames[4] = {"RadioPalmDesktop", "RadioWine", "RadioJPilot", "RadioPilotXfer"};
    for (int i = 0; i < 4; ++i) {
        TargetFinding f{kTargetKinds[i], false, {}};
        for (const TargetFinding& each : findings)
            if (each.kind == f.kind) f = each;
        const QString text =
            QString::fromUtf8(targetTitle(f.kind)) +
            (f.found ? QStringLiteral(" － 見つかりました") : QStringLiteral(" － 見つかりません")) +
            QStringLiteral("\n    ") + QString::fromStdString(f.detail);
        RadioTarget[i] = new QRadioButton(text, targets);
        RadioTarget[i]->setObjectName(QLatin1String(kNames[i]));
        RadioTarget[i]->setChecked(settings.target == f.kind);
        group->addButton(RadioTarget[i]);
        targetLayout->addWidget(RadioTarget[i]);
    }

    auto* grid = new QGridLayout;
    auto* folderLabel = new QLabel(QStringLiteral("Palm Desktopのフォルダ："), this);
    grid->addWidget(folderLabel, 0, 0);
    EditPalmFolder = new QLineEdit(QString::fromStdString(m_palmFolder), this);
    folderLabel->setBuddy(EditPalmFolder);
    EditPalmFolder->setObjectName(QStringLiteral("EditPalmFolder"));
    EditPalmFolder->setPlaceholderText(QStringLiteral("users.dat のあるフォルダ"));
    EditPalmFolder->setMinimumWidth(260);
    grid->addWidget(EditPalmFolder, 0, 1);
    ButtonBrowse = new QPushButton(QStringLiteral("参照..."), this);
    ButtonBrowse->setObjectName(QStringLiteral("ButtonBrowse"));
    grid->addWidget(ButtonBrowse, 0, 2);
    auto* portLabel = new QLabel(QStringLiteral("pilot-xferのポート："), this);
    grid->addWidget(portLabel, 1, 0);
    EditPort = new QLineEdit(QString::fromStdString(settings.port), this);
    portLabel->setBuddy(EditPort);
    EditPort->setObjectName(QStringLiteral("EditPort"));
    grid->addWidget(EditPort, 1, 1);
    layout->addLayout(grid);
#ifdef _WIN32
    // Palm Desktop of Windows keeps its folder in the registry itself.
    EditPalmFolder->setEnabled(false);
    ButtonBrowse->setEnabled(false);
#endif

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ButtonOk = new QPushButton(QStringLiteral("OK"), this);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    buttons->addWidget(ButtonOk);
    buttons->addWidget(ButtonCancel);
    layout->addLayout(buttons);

    connect(ButtonBrowse, &QPushButton::clicked, this, &TargetSettingsDialog::ButtonBrowseClick);
    connect(ButtonOk, &QPushButton::clicked, this, &TargetSettingsDialog::ButtonOkClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TargetSettingsDialog::ButtonBrowseClick() {
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Palm Desktopのフォルダ"),
                                                             EditPalmFolder->text());
    if (!folder.isEmpty()) EditPalmFolder->setText(folder);
}

void TargetSettingsDialog::ButtonOkClick() {
    TargetSettings settings;
    for (int i = 0; i < 4; ++i)
        if (RadioTarget[i]->isChecked()) settings.target = kTargetKinds[i];
    settings.port = EditPort->text().trimmed().toStdString();
    if (settings.port.empty()) settings.port = TargetSettings().port;
    const std::string folder = EditPalmFolder->text().trimmed().toStdString();
    std::string problem = portProblem(settings.port);
    if (!problem.empty()) {
        m_prompter.error(problem);
        return;
    }
#ifndef _WIN32
    if (!folder.empty() && folder != m_palmFolder) {
        if (!folderExists(folder)) {
            m_prompter.error("フォルダ " + folder + " がありません。");
            return;
        }
        if (!fileExists(palmPath(folder, "users.dat")) &&
            m_prompter.ask(folder + " に users.dat がありません。このフォルダを使いますか？", "確認",
                           Buttons::YesNo, Icon::Question) != Answer::Yes)
            return;
        if (!writePalmDesktopStandIn(registryFilePath(), folder, problem)) {
            m_prompter.error(registryFilePath() + " に書き込めません。\n" + problem);
            return;
        }
    }
#endif
    if (!saveTargetSettings(m_env, settings, problem)) {
        m_prompter.error(m_env.settingsFile + " に書き込めません。\n" + problem);
        return;
    }
    accept();
}

bool editInstallTargets(QWidget* parent, const std::string& startFolder, Prompter& prompter) {
    ProgramWait wait(parent, prompter, QStringLiteral("転送先の設定"));
    TargetEnvironment env = TargetEnvironment::fromProcess(startFolder);
    env.run = wait.run();
    // After 中止 the dialog still opens, so that another target can be chosen: Wine then counts
    // as not found.
    std::vector<TargetFinding> findings;
    wait.withNote(QStringLiteral("確認しています…"), [&] { return !(findings = findTargets(env)).empty(); });
    TargetSettingsDialog dialog(env, findings, prompter, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace rovik
