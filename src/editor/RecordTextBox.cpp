#include "editor/RecordTextBox.h"

#include "datalist/RecordEditor.h"

#include <QMimeData>

namespace rovik {

void RecordTextBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    insertPlainText(QString::fromStdString(recordItemText(source->text().toStdString())));
}

} // namespace rovik
