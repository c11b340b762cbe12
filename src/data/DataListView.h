#pragma once
// What the data operations ask of the data list window. The window implements it;
// tests observe it. All texts are UTF-8.
#include <string>

namespace rovik {

enum class DataCommand { TextSave, PdbSave, PdbInstall };

class DataListView {
public:
    virtual ~DataListView() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0; // the hourglass cursor
    virtual void enableCommand(DataCommand command, bool enabled) = 0;
    virtual void setCurrentFileName(const std::string& path) = 0;
    // Refills the title list from the question set's title index.
    virtual void fillTitleList() = 0;
    // Makes `row` (from 0) the title list's current row and shows that title's records.
    virtual void showTitleRow(int row) = 0;
    // Keeps the title list's current row on `row` without changing the shown title.
    virtual void selectTitleRow(int row) = 0;
    // The text save command: its save dialog with the text filter. True when a file was saved.
    virtual bool runTextSave() = 0;
    // Shows the error log file modally (the error log dialog).
    virtual void showErrorLog(const std::string& path) = 0;
};

// A view that does nothing: for the command-line tool and for tests that need no window.
class NullDataListView : public DataListView {
public:
    void setStatusText(const std::string&) override {}
    void setBusy(bool) override {}
    void enableCommand(DataCommand, bool) override {}
    void setCurrentFileName(const std::string&) override {}
    void fillTitleList() override {}
    void showTitleRow(int) override {}
    void selectTitleRow(int) override {}
    bool runTextSave() override { return false; }
    void showErrorLog(const std::string&) override {}
};

} // namespace rovik
