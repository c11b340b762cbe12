// The data list window, offscreen: opening a 100,000-line QA text of 10 titles up to the first
// title shown, against loading and validating the same file without a window (target: at most
// 2 times). The record cut and paste commands on that question set, window refresh included,
// report their mean and slowest times (budget: one frame, 16 ms). Undo and redo of a record paste
// and of a title delete are timed against the command they take back (target: at most 1.5 times,
// so within the same frame), and find-all over every title against decoding every line's texts
// from Shift-JIS (target: at most 3 times).
#include "BenchData.h"
#include "BenchRatios.h"

#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "datalist/FindReplace.h"
#include "editor/DataListWindow.h"
#include "platform/Cp932.h"
#include "settings/ProgramValues.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace rovik::bench {
namespace {

constexpr int kLines = 100000;
constexpr int kTitles = 10;

std::vector<std::string> tenTitleLines() {
    const std::string mondai = "\x96\xE2\x91\xE8"; // 問題
    const std::string kotae = "\x93\x9A\x82\xA6";  // 答え
    std::vector<std::string> lines;
    lines.reserve(kLines);
    const int perTitle = kLines / kTitles;
    for (int i = 0; i < kLines; ++i) {
        if (i % perTitle == 0) {
            lines.push_back("tTitle\t" + mondai + std::to_string(i / perTitle + 1) + "\t3\t3");
            continue;
        }
        if (i % perTitle == 1) {
            lines.push_back("dBunrui\t" + kotae);
            continue;
        }
        std::string n = std::to_string(100000 + i);
        lines.push_back("11\t" + mondai + n + mondai + mondai + "\t" + kotae + n + kotae + "\t" + n + "\t0");
    }
    return lines;
}

struct WindowInput {
    std::string folder = benchFolder("rovik-bench-data-list");
    std::string path = folder + "/qa10.txt";
    WindowInput() { writeBytes(path, joinCrLf(tenTitleLines())); }
    ~WindowInput() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    ProgramValues values() const {
        ProgramValues v;
        v.startFolder = folder;
        v.dataFolder = folder;
        v.settings = {"", ""};
        return v;
    }
};

WindowInput& input() {
    static WindowInput in;
    return in;
}

void BM_CoreLoadValidate(benchmark::State& state) {
    SilentPrompter prompter;
    NullDataListView view;
    ProgramValues values = input().values();
    for (auto _ : state) {
        QuestionSet set;
        DataContext ctx{set, prompter, view, values};
        LoadQAText(ctx, input().path);
        if (set.lines.size() != kLines) state.SkipWithError("the file was not loaded");
        benchmark::DoNotOptimize(set.lines.data());
    }
}

void BM_WindowOpenToFirstTitle(benchmark::State& state) {
    SilentPrompter prompter;
    ProgramValues values = input().values();
    for (auto _ : state) {
        state.PauseTiming();
        auto form = std::make_unique<TForm3>(nullptr, &prompter, &values);
        form->show();
        QApplication::processEvents();
        state.ResumeTiming();
        form->logic().openTextFile(input().path);
        QApplication::processEvents(); // the first title painted
        state.PauseTiming();
        if (form->logic().recordRows().count() != kLines / kTitles - 2) state.SkipWithError("no title shown");
        form.reset();
        state.ResumeTiming();
    }
}

// One window with the file open and the first title shown, for the record commands.
TForm3& openWindow() {
    static SilentPrompter prompter;
    static ProgramValues values = input().values();
    // Never destroyed: it would outlive the application object.
    static TForm3* form = new TForm3(nullptr, &prompter, &values);
    if (form->logic().set().lines.empty()) {
        form->show();
        form->logic().openTextFile(input().path);
        QApplication::processEvents();
    }
    return *form;
}

// Times one record command on grid row 3 per iteration, window repaint included, and reports the
// slowest run; `undo` (not timed) puts the question set back.
void timeRecordCommand(benchmark::State& state, QAction* TForm3::*command, QAction* TForm3::*undo) {
    TForm3& form = openWindow();
    const QModelIndex row3 = form.StringGrid1->model()->index(2, 1);
    double slowest = 0;
    for (auto _ : state) {
        form.StringGrid1->setCurrentIndex(row3);
        auto start = std::chrono::steady_clock::now();
        (form.*command)->trigger();
        QApplication::processEvents();
        slowest = std::max(
            slowest,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        form.StringGrid1->setCurrentIndex(row3);
        (form.*undo)->trigger();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (form.logic().set().lines.size() != kLines) state.SkipWithError("the command was not undone");
    state.counters["slowest_ms"] = slowest;
}

// ﾚｺｰﾄﾞ切り取り on row 3, undone by pasting the record back.
void BM_RecordCut(benchmark::State& state) {
    timeRecordCommand(state, &TForm3::T2, &TForm3::S1);
}

// ﾚｺｰﾄﾞ貼り付け of a copied record before row 3, undone by cutting it again.
void BM_RecordPaste(benchmark::State& state) {
    TForm3& form = openWindow();
    form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(5, 1));
    form.C1->trigger();
    timeRecordCommand(state, &TForm3::S1, &TForm3::T2);
}

// Times `timed` per iteration, window repaint included, between `setUp` and `tearDown` (not
// timed), which leave the lines as they found them; reports the slowest run.
template <typename SetUp, typename Timed, typename TearDown>
void timeStep(benchmark::State& state, SetUp setUp, Timed timed, TearDown tearDown) {
    TForm3& form = openWindow();
    double slowest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setUp(form);
        QApplication::processEvents();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        timed(form);
        QApplication::processEvents();
        slowest = std::max(
            slowest,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        state.PauseTiming();
        tearDown(form);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (form.logic().set().lines.size() != kLines) state.SkipWithError("the steps did not restore the lines");
    state.counters["slowest_ms"] = slowest;
}

void pasteOnRow3(TForm3& form) {
    form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(5, 1));
    form.C1->trigger();
    form.StringGrid1->setCurrentIndex(form.StringGrid1->model()->index(2, 1));
    form.S1->trigger();
}

void deleteFirstTitle(TForm3& form) {
    form.StringGrid2->setCurrentIndex(form.StringGrid2->model()->index(0, 0));
    form.D3->trigger();
}

void undo(TForm3& form) {
    form.Undo1->trigger();
}
void redo(TForm3& form) {
    form.Redo1->trigger();
}
void nothing(TForm3&) {}

void BM_RecordPasteUndo(benchmark::State& state) {
    timeStep(state, pasteOnRow3, undo, nothing);
}

void BM_RecordPasteRedo(benchmark::State& state) {
    timeStep(
        state,
        [](TForm3& form) {
            pasteOnRow3(form);
            undo(form);
        },
        redo, undo);
}

// ﾀｲﾄﾙ削除 of the first of the ten titles: the command the two below take back.
void BM_TitleDelete(benchmark::State& state) {
    timeStep(state, nothing, deleteFirstTitle, undo);
}

void BM_TitleDeleteUndo(benchmark::State& state) {
    timeStep(state, deleteFirstTitle, undo, nothing);
}

void BM_TitleDeleteRedo(benchmark::State& state) {
    timeStep(
        state,
        [](TForm3& form) {
            deleteFirstTitle(form);
            undo(form);
        },
        redo, undo);
}

// The floor of find-all: every line's texts decoded from Shift-JIS, as the grid would show them.
void BM_DecodeAllTexts(benchmark::State& state) {
    const std::vector<std::string> lines = tenTitleLines();
    for (auto _ : state) {
        size_t chars = 0;
        for (const auto& line : lines)
            chars += cp932ToUtf8(line).size();
        benchmark::DoNotOptimize(chars);
    }
}

// Find-all of "99" over every title's question, answer and reference texts.
void BM_FindAll(benchmark::State& state) {
    QuestionSet set;
    set.lines = tenTitleLines();
    RebuildTitleIndex(set);
    FindOptions options;
    options.text = "99";
    options.scope = FindScope::AllTitles;
    size_t found = 0;
    for (auto _ : state) {
        found = findAll(set, options).size();
        benchmark::DoNotOptimize(found);
    }
    if (found == 0) state.SkipWithError("nothing found");
    state.counters["matches"] = static_cast<double>(found);
}

BENCHMARK(BM_CoreLoadValidate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowOpenToFirstTitle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordCut)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordPaste)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordPasteUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordPasteRedo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleDelete)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleDeleteUndo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleDeleteRedo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeAllTexts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindAll)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return rovik::bench::runWithRatios(argc, argv,
                                       {{"BM_WindowOpenToFirstTitle", "BM_CoreLoadValidate", 2.0},
                                        {"BM_RecordPasteUndo", "BM_RecordPaste", 1.5},
                                        {"BM_RecordPasteRedo", "BM_RecordPaste", 1.5},
                                        {"BM_TitleDeleteUndo", "BM_TitleDelete", 1.5},
                                        {"BM_TitleDeleteRedo", "BM_TitleDelete", 1.5},
                                        {"BM_FindAll", "BM_DecodeAllTexts", 3.0}});
}
