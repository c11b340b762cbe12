#pragma once
// The about box: product name, version, author and how to reach us.
#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;

namespace rovik {

class Prompter;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    // A link no program could open is told through this prompter (tests inject a scripted one).
    void setPrompter(Prompter* prompter);
    // Hands a link to the shell; false, after a message naming it, when nothing could open it.
    bool openLink(const QString& link);

    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* MailAddress;
    QLabel* WebPage;
    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter;
};

// Shows the about box modally with the program's version text and author line; failures to open
// its links go to `prompter` when given.
void ShowAboutBox(QWidget* parent, Prompter* prompter = nullptr);

} // namespace rovik
