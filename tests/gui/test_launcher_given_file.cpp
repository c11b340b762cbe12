// The program started with a file (the desktop's "open with"): the launcher opens the data list
// window with that file loaded.
#include "app/LauncherWindow.h"
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace rovik {
namespace {

const std::string kTwoTitles = "tTitle\tT1\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq1\ta\tr\t0\r\n"
                               "tTitle\tT2\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq2\ta\tr\t0\r\n";

TEST(LauncherGivenFile, DataListWindowOpensWithTheFile) {
    const struct {
        const char* name;
        bool exists;
        std::vector<std::string> titles;
        const char* message; // expected message box, or null
    } cases[] = {
        {"mine.TXT", true, {"T1", "T2"}, nullptr},
        {"gone.TXT", false, {}, "ﾌｧｲﾙがありません。"},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        test::CurrentFolder here(folder.path());
        TForm1 form;
        test::ScriptedPrompter prompter;
        form.setPrompter(&prompter);
        form.show();
        const std::string path = c.exists ? folder.write(c.name, kTwoTitles) : folder.file(c.name);
        if (c.message) prompter.expectMessage(c.message, "エラー", Buttons::Ok, Icon::Warning);
        bool opened = false;
        std::vector<std::string> titles;
        test::onNextModalDialog([&](QWidget* dialog) {
            auto* dataList = qobject_cast<TForm3*>(dialog);
            ASSERT_NE(nullptr, dataList);
            opened = true;
            // The file is loaded once the window is up.
            QElapsedTimer waited;
            waited.start();
            auto settled = [&] {
                return prompter.done() && (!dataList->logic().titleNames().empty() || waited.elapsed() > 300);
            };
            while (!settled() && waited.elapsed() < 3000)
                QApplication::processEvents();
            titles = dataList->logic().titleNames();
        });
        form.openDataList(path);
        EXPECT_TRUE(opened) << c.name;
        EXPECT_EQ(c.titles, titles) << c.name;
        EXPECT_TRUE(prompter.done()) << c.name;
        form.close();
    }
}

} // namespace
} // namespace rovik
