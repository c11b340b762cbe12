#pragma once
// Everything an operation asks the user goes through this interface: the Qt implementation
// shows real dialogs, tests script the answers. All texts are UTF-8, paths are native.
#include <optional>
#include <string>
#include <vector>

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

// One group of an option dialog: a title over items of which exactly one is chosen.
struct OptionGroup {
    std::string title;
    std::vector<std::string> items;
    int chosen = 0; // the item chosen when the dialog opens
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
    // A small dialog of option groups under `caption` with ＯＫ and キャンセル: the item chosen in
    // each group, or nothing when cancelled. A prompter that cannot show one answers nothing.
    virtual std::optional<std::vector<int>> chooseOptions(const std::string& caption,
                                                          const std::vector<OptionGroup>& groups) {
        (void)caption;
        (void)groups;
        return std::nullopt;
    }

    // Shorthands for the message forms used throughout the program.
    void error(const std::string& text, const std::string& caption = "エラー") {
        ask(text, caption, Buttons::Ok, Icon::Error);
    }
    void notice(const std::string& text, const std::string& caption = "確認") {
        ask(text, caption, Buttons::Ok, Icon::None);
    }
};

} // namespace rovik
