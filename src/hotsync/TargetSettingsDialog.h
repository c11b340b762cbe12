#pragma once
// 転送先の設定: what was found, the user's choice of install target, Palm Desktop's folder (written
// to the stand-in file) and pilot-xfer's port. Saving is TargetChoice's; this only shows it.
#include "hotsync/TargetChoice.h"

#include <QDialog>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rovik {

class Prompter;

class TargetSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `findings`: what findTargets(env) found, which may start Wine and so is asked beforehand.
    TargetSettingsDialog(TargetEnvironment env, const std::vector<TargetFinding>& findings,
                         Prompter& prompter, QWidget* parent = nullptr);

    static constexpr const char* kHelpTopic = "targets";

    QLabel* LabelFound;
    QRadioButton* RadioAuto;
    QRadioButton* RadioTarget[4]; // in kTargetKinds order
    QLineEdit* EditPalmFolder;
    QPushButton* ButtonBrowse;
    QLineEdit* EditPort;
    QPushButton* ButtonOk;
    QPushButton* ButtonCancel;

private slots:
    void ButtonBrowseClick();
    void ButtonOkClick();

private:
    TargetEnvironment m_env;
    Prompter& m_prompter;
    std::string m_palmFolder; // as found when the dialog opened
};

// Looks for the targets under a note, then opens the dialog over `parent`; true when the user saved.
bool editInstallTargets(QWidget* parent, const std::string& startFolder, Prompter& prompter);

} // namespace rovik
