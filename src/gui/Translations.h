#pragma once
// Qt's own Japanese texts for the standard buttons and dialogs (はい/いいえ, 開く, 名前を付けて保存...).

class QCoreApplication;

namespace rovik {

// Loads Qt's "qtbase_ja" translation into `app`; false when it is not installed, and the standard
// dialogs then keep Qt's English texts.
bool installQtTranslations(QCoreApplication& app);

} // namespace rovik
