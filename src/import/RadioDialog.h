#pragma once
// The layout the two import dialogs share: a titled radio group above ＯＫ and キャンセル.
#include <QStringList>

class QButtonGroup;
class QDialog;
class QGroupBox;
class QPushButton;

namespace rovik {

struct RadioDialogParts {
    QGroupBox* group = nullptr;
    QButtonGroup* items = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

// Builds the controls into `dialog` with the first item checked; キャンセル rejects (ＯＫ is the
// caller's). Only the close box is in the frame.
RadioDialogParts buildRadioDialog(QDialog* dialog, const char* name, const QString& caption,
                                  const QString& groupTitle, const QStringList& items);

} // namespace rovik
