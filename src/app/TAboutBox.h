#pragma once
// The about box: product name, version, author and how to reach us.
#include <QDialog>

class QLabel;
class QPushButton;

namespace rovik {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProductName;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* MailAddress;
    QLabel* WebPage;
    QPushButton* OKButton;
};

// Shows the about box modally with the program's version text and author line.
void ShowAboutBox(QWidget* parent);

} // namespace rovik
