#pragma once
// A DataListView that records every call, in order, as a short text ("status:...", "fill", ...).
#include "data/DataListView.h"

#include <functional>
#include <string>
#include <vector>

namespace rovik::test {

class RecordingDataListView : public DataListView {
public:
    std::vector<std::string> events;
    std::function<bool()> onTextSave = [] { return false; };

    void setStatusText(const std::string& text) override { events.push_back("status:" + text); }
    void setBusy(bool busy) override { events.push_back(busy ? "busy" : "idle"); }
    void enableCommand(DataCommand command, bool enabled) override {
        const char* names[] = {"TextSave", "PdbSave", "PdbInstall"};
        events.push_back(std::string(enabled ? "enable:" : "disable:") + names[static_cast<int>(command)]);
    }
    void setCurrentFileName(const std::string& path) override { events.push_back("current:" + path); }
    void fillTitleList() override { events.push_back("fill"); }
    void showTitleRow(int row) override { events.push_back("show:" + std::to_string(row)); }
    void selectTitleRow(int row) override { events.push_back("select:" + std::to_string(row)); }
    bool runTextSave() override {
        events.push_back("textsave");
        return onTextSave();
    }
    void showErrorLog(const std::string& path) override { events.push_back("errorlog:" + path); }
};

} // namespace rovik::test
