#pragma once
// A EditorView for tests: records what the logic asks of the window.
#include "datalist/EditorView.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace rovik::test {

class FakeEditorView : public EditorView {
public:
    void setStatusText(const std::string& text) override { status = text; }
    void setBusy(bool b) override {
        busy = b;
        if (b) ++busyCount;
    }
    void setCommandEnabled(EditorCommand command, bool on) override {
        enabled[static_cast<size_t>(command)] = on;
    }
    void setCaption(const std::string& text) override { caption = text; }
    void titleListChanged() override { ++titleListRefills; }
    void recordGridChanged() override { ++recordGridRefills; }
    void setTitleCurrentRow(int row) override { titleRow = row; }
    void focusTitleList() override { ++focusCount; }
    int recordCurrentRow() const override { return recordRow; }
    void setRecordCurrentRow(int row) override { recordRow = row; }
    void showErrorLog(const std::string& path) override { errorLogs.push_back(path); }
    bool openDocument(const std::string& path) override {
        opened.push_back(path);
        if (onOpenDocument) onOpenDocument(path);
        return documentOpens;
    }
    void runRecordEditor(const std::string& editorCaption) override {
        recordEditorCaptions.push_back(editorCaption);
        recordRow = 1; // the editor moved the grid; the logic must put its row back
    }
    void runTitleEditor() override { ++titleEditorRuns; }
    void runImportTextFile(const std::string& path) override { imports.push_back(path); }
    void runFiveChoiceImport(const std::string& path) override { fiveChoiceImports.push_back(path); }

    bool isEnabled(EditorCommand command) const { return enabled[static_cast<size_t>(command)]; }

    std::string status;
    bool busy = false;
    int busyCount = 0;
    std::array<bool, kEditorCommandCount> enabled{};
    std::string caption;
    int titleListRefills = 0;
    int recordGridRefills = 0;
    int titleRow = -1;
    int focusCount = 0;
    int recordRow = 0;
    std::vector<std::string> errorLogs;
    std::vector<std::string> opened;
    bool documentOpens = true; // false: no program could be started for the document
    std::function<void(const std::string&)> onOpenDocument;
    std::vector<std::string> recordEditorCaptions;
    int titleEditorRuns = 0;
    std::vector<std::string> imports;
    std::vector<std::string> fiveChoiceImports;
};

} // namespace rovik::test
