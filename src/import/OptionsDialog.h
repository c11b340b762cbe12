#pragma once
// A small dialog of option groups (radio buttons under a title each) above ＯＫ and キャンセル:
// what the export commands ask before their save dialog.
#include "platform/Prompter.h"

#include <QDialog>

#include <optional>
#include <vector>

class QButtonGroup;
class QPushButton;

namespace rovik {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(const std::string& caption, const std::vector<OptionGroup>& groups,
                  QWidget* parent = nullptr);

    // The item checked in each group.
    std::vector<int> chosen() const;

    // Shows the dialog modally: the chosen items, or nothing when it was cancelled or closed.
    static std::optional<std::vector<int>> choose(QWidget* parent, const std::string& caption,
                                                  const std::vector<OptionGroup>& groups);

    QPushButton* Button1; // ＯＫ
    QPushButton* Button2; // キャンセル

private:
    std::vector<QButtonGroup*> m_groups;
};

} // namespace rovik
