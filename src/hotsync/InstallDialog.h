#pragma once
// The install reservation dialog: pick the HotSync user, confirm the database name, install.
#include "hotsync/InstallReservation.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rovik {

class Prompter;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    // Reads the users at once (start-up messages go to `prompter`).
    TForm7(InstallRequest& request, const std::string& startFolder, Prompter& prompter,
           WritePdbFunction writePdb = {}, QWidget* parent = nullptr, InstallTarget* target = nullptr,
           RunOutside runOutside = {});

    static constexpr const char* kHelpTopic = "topic9";

    void setExplanation(const QString& text);
    // Editable names get a white box; fixed ones are read-only in the menu colour.
    void setDatabaseName(const QString& name, bool editable);
    QString databaseName() const;
    const InstallReservation& reservation() const { return m_logic; }

    QLabel* Label1;
    QLabel* Label2;
    QComboBox* ComboBox1;
    QLabel* Label3;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

private slots:
    void ComboBox1Change(int index);
    void Button1Click();
    void Button2Click();

private:
    void FormCreate();
    void createControls();

    InstallReservation m_logic;
};

} // namespace rovik
