// Loading and validating a 100,000-line QA text against reading the same bytes from memory and
// splitting them at line feeds. Target: at most 4 floors. Loading the same text saved as UTF-8
// (detected and converted to CP932 first) against loading its CP932 twin: at most 1.5 times.
#include "BenchData.h"
#include "BenchRatios.h"

#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "settings/ProgramValues.h"

#include <filesystem>

namespace rovik::bench {
namespace {

struct LoadInput {
    std::string folder;
    std::string path;
    std::string utf8Path;
    std::string bytes;
    LoadInput() {
        folder = benchFolder("rovik-bench-loading");
        path = folder + "/qa.txt";
        utf8Path = folder + "/qa-utf8.txt";
        bytes = joinCrLf(qaLines(100000));
        writeBytes(path, bytes);
        writeBytes(utf8Path, cp932ToUtf8(bytes));
    }
    ~LoadInput() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

LoadInput& input() {
    static LoadInput in;
    return in;
}

void BM_Floor_SplitLines(benchmark::State& state) {
    const std::string& bytes = input().bytes;
    for (auto _ : state) {
        auto lines = splitAtLineFeeds(bytes);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void loadAndValidate(benchmark::State& state, const std::string& path) {
    SilentPrompter prompter;
    NullDataListView view;
    ProgramValues values;
    values.startFolder = input().folder;
    values.settings = {"", ""};
    for (auto _ : state) {
        QuestionSet set;
        DataContext ctx{set, prompter, view, values};
        LoadQAText(ctx, path);
        if (set.lines.size() != 100000) state.SkipWithError("the file was not loaded");
        benchmark::DoNotOptimize(set.lines.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input().bytes.size()));
}

void BM_LoadAndValidate(benchmark::State& state) {
    loadAndValidate(state, input().path);
}

void BM_LoadAndValidate_Utf8(benchmark::State& state) {
    loadAndValidate(state, input().utf8Path);
}

BENCHMARK(BM_Floor_SplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndValidate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAndValidate_Utf8)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    return rovik::bench::runWithRatios(argc, argv,
                                       {{"BM_LoadAndValidate", "BM_Floor_SplitLines", 4.0},
                                        {"BM_LoadAndValidate_Utf8", "BM_LoadAndValidate", 1.5}});
}
