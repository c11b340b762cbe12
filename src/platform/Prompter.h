#pragma once
// Everything an operation asks the user goes through this interface: the Qt implementation
// shows real dialogs, tests script the answers. All texts are UTF-8, paths are native.
#include <optional>
#include <string>

namespace rovik {

enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Icon { None, Error, Warning, Question, Information };
enum class Answer { Ok, Yes, No, Cancel };

struct FileDialogRequest {
    std::string title;         // dialog caption; empty for the platform default
    std::string filter;        // Windows form: "Text (*.txt)|*.txt|All (*.*)|*.*"
    std::string folder;        // folder the dialog starts in
    std::string fileName;      // proposed name (save dialogs)
    std::string defaultSuffix; // added when the user types none, e.g. "txt"
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) = 0;
    // The chosen path, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> openFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFile(const FileDialogRequest& request) = 0;
    // Format dialog of the tab-text import: 0, 1 or 2, or nothing when cancelled.
    virtual std::optional<int> chooseImportFormat() = 0;
    // Choice dialog of the five-choice import: true to show the choices, nothing when cancelled.
    virtual std::optional<bool> chooseShowChoices() = 0;

    // Shorthands for the message forms used throughout the program.
    void error(const std::string& text, const std::string& caption = "エラー") {
        ask(text, caption, Buttons::Ok, Icon::Error);
    }
    void notice(const std::string& text, const std::string& caption = "確認") {
        ask(text, caption, Buttons::Ok, Icon::None);
    }
};

} // namespace rovik
