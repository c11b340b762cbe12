#pragma once
// The error log dialog: the error log file (CP932, or UTF-8 after a byte order mark), read-only,
// above an OK button.
#include <QDialog>

#include <string>

class QPushButton;
class QTextEdit;

namespace rovik {

class TForm9 : public QDialog {
    Q_OBJECT
public:
    explicit TForm9(QWidget* parent = nullptr);

    // Puts the file's text into the box; false (box left empty) when it cannot be read.
    bool loadFile(const std::string& path);

    QTextEdit* RichEdit1;
    QPushButton* Button1;
};

} // namespace rovik
