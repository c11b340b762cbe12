#pragma once
// A text box of the record editor: whatever is pasted or dropped into it loses its tabs and line
// breaks, which would split the record's line.
#include <QPlainTextEdit>

namespace rovik {

class RecordTextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace rovik
