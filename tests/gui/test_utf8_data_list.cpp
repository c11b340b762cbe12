// A UTF-8 QA text in the data list window: it opens as CP932 data, a text save writes it back
// as the same UTF-8 and says so, and characters CP932 cannot hold show in the error log dialog.
#include "editor/DataListWindow.h"
#include "editor/ErrorLogDialog.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace rovik {
namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kText = "tTitle\t日本の地理\t3\t3\r\ndBunrui\t都道府県\r\nsBunrui\t島\r\n"
                          "11\t北海道の道庁所在地は？\t札幌市\t①\t0\r\n";

struct Utf8DataListTest : ::testing::Test {
    Utf8DataListTest() {
        values.startFolder = folder.path();
        values.dataFolder = folder.path();
        values.settings = {"", ""};
    }
    void openText(const std::string& path) {
        prompter.expectOpen(path, "Text files (*.txt)|*.TXT");
        form.N11112->trigger();
    }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    ProgramValues values;
    test::ScriptedPrompter prompter;
    TForm3 form{nullptr, &prompter, &values};
};

struct SaveCase {
    const char* name;
    std::string text;
    const char* status; // what the status line adds after the saved message
};

TEST_F(Utf8DataListTest, OpensAndSavesBackTheSameUtf8) {
    const SaveCase cases[] = {{"utf8", kText, "(UTF-8)"}, {"bom", kBom + kText, "(UTF-8 (BOM付き))"}};
    for (const auto& c : cases) {
        const std::string path = folder.write(std::string(c.name) + ".txt", c.text);
        const bool replacing = form.StringGrid1->model()->rowCount() > 0;
        prompter.expectOpen(path, "Text files (*.txt)|*.TXT");
        if (replacing)
            prompter
                .expectMessage("追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                               "いいえ：編集中のデータを削除して新規読み込み",
                               "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
                .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                               Answer::No);
        form.N11112->trigger();
        EXPECT_EQ(QString::fromUtf8("日本の地理"), form.StringGrid2->model()->index(0, 0).data().toString())
            << c.name;
        EXPECT_EQ(QString::fromUtf8("北海道の道庁所在地は？"),
                  form.StringGrid1->model()->index(0, 1).data().toString())
            << c.name;
        const std::string out = folder.file(std::string(c.name) + "-out.txt");
        prompter.expectSave(out, "Text files (*.txt)|*.TXT");
        form.S2->trigger();
        EXPECT_EQ(c.text, test::TempFolder::read(out)) << c.name;
        EXPECT_EQ(QString::fromStdString(out + "が保存されました。" + c.status),
                  form.StatusBar1->currentMessage())
            << c.name;
    }
}

TEST_F(Utf8DataListTest, UnmappableCharactersShowInTheErrorLog) {
    const std::string path = folder.write("emoji.txt", "tTitle\tT\t3\t3\r\n11\tq😀\ta\tr\t0\r\n");
    QString shown;
    test::onNextModalDialog([&](QWidget* dialog) {
        if (auto* log = dialog->findChild<QTextEdit*>("RichEdit1")) shown = log->toPlainText();
    });
    openText(path);
    EXPECT_EQ(QString::fromUtf8("2行目: 文字「😀」(U+1F600)はShift-JISで表せません。\n"), shown);
    EXPECT_EQ(0, form.StringGrid1->model()->rowCount());
}

} // namespace
} // namespace rovik
