#pragma once
// Prompter that shows real Qt message boxes and file dialogs over a parent window.
#include "platform/Prompter.h"

#include <functional>

class QWidget;

namespace rovik {

class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent) : m_parent(parent) {}

    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
    std::optional<std::string> openFile(const FileDialogRequest& request) override;
    std::optional<std::string> saveFile(const FileDialogRequest& request) override;
    std::optional<int> chooseImportFormat() override;
    std::optional<bool> chooseShowChoices() override;
    std::optional<std::vector<int>> chooseOptions(const std::string& caption,
                                                  const std::vector<OptionGroup>& groups) override;

    // The import dialogs live with the import windows; they register themselves here.
    using FormatDialog = std::function<std::optional<int>(QWidget*)>;
    using ChoiceDialog = std::function<std::optional<bool>(QWidget*)>;
    static void setImportDialogs(FormatDialog format, ChoiceDialog choice);
    using OptionsDialog = std::function<std::optional<std::vector<int>>(QWidget*, const std::string&,
                                                                        const std::vector<OptionGroup>&)>;
    static void setOptionsDialog(OptionsDialog dialog);

private:
    QWidget* m_parent;
};

// "Text (*.txt)|*.txt|All (*.*)|*.*" -> "Text (*.txt);;All (*.*)", the form Qt's dialogs take.
std::string toQtFilter(const std::string& windowsFilter);

} // namespace rovik
