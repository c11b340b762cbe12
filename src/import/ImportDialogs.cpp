#include "import/ImportDialogs.h"

#include "gui/QtPrompter.h"
#include "import/ChoiceDisplayDialog.h"
#include "import/OptionsDialog.h"
#include "import/TabTextFormatDialog.h"

namespace rovik {

void registerImportDialogs() {
    QtPrompter::setImportDialogs(&TForm10::chooseFormat, &TForm11::chooseShowChoices);
    QtPrompter::setOptionsDialog(&OptionsDialog::choose);
}

} // namespace rovik
