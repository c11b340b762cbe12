#pragma once
// A data list window over a temporary folder with a scripted prompter: the base of the editing
// windows' tests. Data comes in through the window's own "新規..." open command.
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace rovik::test {

inline QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Title `name` with category lines A and B and records "11", name + "q" + i, "a", "r", "0".
inline std::string titleText(const std::string& name, int records) {
    std::string text = "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n";
    for (int i = 1; i <= records; ++i)
        text += "11\t" + name + "q" + std::to_string(i) + "\ta\tr\t0\r\n";
    return text;
}

// Runs `inspect` on the next modal dialog once it is shown; closes it unless `inspect` did.
inline void onNextModal(std::function<void(QWidget*)> inspect) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inspect] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        timer->stop();
        timer->deleteLater();
        inspect(dialog);
        if (dialog->isVisible()) dialog->close();
    });
    timer->start();
}

class EditorWindowTest : public ::testing::Test {
protected:
    EditorWindowTest() {
        values.startFolder = folder.path();
        values.dataFolder = folder.path();
        values.settings = {"", ""};
    }
    // Opens a text file into the empty window (no append question).
    void openText(const std::string& name, const std::string& bytes) {
        prompter.expectOpen(folder.write(name, bytes), "Text files (*.txt)|*.TXT");
        form.N11112->trigger();
    }
    QAbstractItemModel* titles() { return form.StringGrid2->model(); }
    QAbstractItemModel* records() { return form.StringGrid1->model(); }
    QString cell(int row, int column) { return records()->index(row, column).data().toString(); }
    QStringList column(int column) {
        QStringList texts;
        for (int row = 0; row < records()->rowCount(); ++row)
            texts << cell(row, column);
        return texts;
    }
    QStringList titleNames() {
        QStringList names;
        for (int row = 0; row < titles()->rowCount(); ++row)
            names << titles()->index(row, 0).data().toString();
        return names;
    }
    void selectRecord(int row) { form.StringGrid1->setCurrentIndex(records()->index(row - 1, 1)); }
    void selectTitle(int row) { form.StringGrid2->setCurrentIndex(titles()->index(row, 0)); }
    int recordRow() { return form.StringGrid1->currentIndex().row() + 1; }
    const std::vector<std::string>& lines() { return form.logic().set().lines; }

    TempFolder folder;
    CurrentFolder here{folder.path()};
    ProgramValues values;
    ScriptedPrompter prompter;
    TForm3 form{nullptr, &prompter, &values};
};

} // namespace rovik::test
