#include "import/ImportDialogs.h"

#include "import/OptionsDialog.h"
#include "import/TForm10.h"
#include "import/TForm11.h"
#include "platform/QtPrompter.h"

namespace rovik {

void registerImportDialogs() {
    QtPrompter::setImportDialogs(&TForm10::chooseFormat, &TForm11::chooseShowChoices);
    QtPrompter::setOptionsDialog(&OptionsDialog::choose);
}

} // namespace rovik
