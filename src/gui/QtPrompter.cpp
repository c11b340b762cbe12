#include "gui/QtPrompter.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Utf8ToCp932.h"

#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>
#include <vector>

namespace rovik {
namespace {
QtPrompter::FormatDialog g_formatDialog;
QtPrompter::ChoiceDialog g_choiceDialog;
QtPrompter::OptionsDialog g_optionsDialog;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A proposed name that is not UTF-8 (raw Shift-JIS) cannot pass through a QString as itself: the
// dialog proposes the characters it stands for, which the save then writes as UTF-8.
QString fileNameText(const std::string& path) {
    const std::string name = fileNameOf(path);
    const bool ascii =
        std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || isUtf8WithMultiByte(name, name.size())) return q(path);
    return q(path.substr(0, path.size() - name.size()) + cp932ToUtf8(name));
}

QMessageBox::Icon toQtIcon(Icon icon) {
    switch (icon) {
    case Icon::Error:
        return QMessageBox::Critical;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}
} // namespace

std::string toQtFilter(const std::string& windowsFilter) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= windowsFilter.size()) {
        size_t bar = windowsFilter.find('|', pos);
        if (bar == std::string::npos) bar = windowsFilter.size();
        parts.push_back(windowsFilter.substr(pos, bar - pos));
        pos = bar + 1;
    }
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string label = parts[i];
        std::string pattern = parts[i + 1];
        std::replace(pattern.begin(), pattern.end(), ';', ' ');
        // Qt reads the patterns from the last brackets of an entry; put the real ones there.
        size_t open = label.rfind('(');
        if (!label.empty() && label.back() == ')' && open != std::string::npos) label.erase(open);
        if (!out.empty()) out += ";;";
        out += label + "(" + pattern + ")";
    }
    return out;
}

Answer QtPrompter::ask(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    QMessageBox box(toQtIcon(icon), q(caption), q(text), toQtButtons(buttons), m_parent);
    // File and user names are data, never markup.
    box.setTextFormat(Qt::PlainText);
    // Escape and the close box answer Cancel where there is one, never No.
    if (buttons == Buttons::YesNoCancel) box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        break;
    }
    return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> QtPrompter::openFile(const FileDialogRequest& request) {
    QString path = QFileDialog::getOpenFileName(m_parent, q(request.title), q(request.folder),
                                                q(toQtFilter(request.filter)));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtPrompter::saveFile(const FileDialogRequest& request) {
    QFileDialog dialog(m_parent, q(request.title), q(request.folder), q(toQtFilter(request.filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultSuffix.empty()) dialog.setDefaultSuffix(q(request.defaultSuffix));
    if (!request.fileName.empty()) dialog.selectFile(fileNameText(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<int> QtPrompter::chooseImportFormat() {
    return g_formatDialog ? g_formatDialog(m_parent) : std::nullopt;
}

std::optional<bool> QtPrompter::chooseShowChoices() {
    return g_choiceDialog ? g_choiceDialog(m_parent) : std::nullopt;
}

std::optional<std::vector<int>> QtPrompter::chooseOptions(const std::string& caption,
                                                          const std::vector<OptionGroup>& groups) {
    return g_optionsDialog ? g_optionsDialog(m_parent, caption, groups) : std::nullopt;
}

void QtPrompter::setOptionsDialog(OptionsDialog dialog) {
    g_optionsDialog = std::move(dialog);
}

void QtPrompter::setImportDialogs(FormatDialog format, ChoiceDialog choice) {
    g_formatDialog = std::move(format);
    g_choiceDialog = std::move(choice);
}

} // namespace rovik
