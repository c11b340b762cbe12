// The largest database the 64 KB limit allows: WritePdb against writing the same bytes with one
// write (target: at most 2), ConvertPdbToText against reading the same bytes from memory and
// splitting them at line feeds (target: at most 3).
#include "BenchData.h"
#include "BenchRatios.h"

#include "data/QuestionSet.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "platform/FileIo.h"

#include <filesystem>

namespace rovik::bench {
namespace {

// The most lines of qaLines() that still fit: one more would start a record past 64 KB.
std::vector<std::string> largestLines() {
    int low = 1;
    int high = 8182;
    while (low < high) {
        int mid = (low + high + 1) / 2;
        if (buildPdbImage(qaLines(mid), "n", 0).tooLarge)
            high = mid - 1;
        else
            low = mid;
    }
    return qaLines(low);
}

struct PdbInput {
    std::string folder;
    std::vector<std::string> lines = largestLines();
    std::string pdbPath;
    std::string pdbBytes;
    PdbInput() {
        folder = benchFolder("rovik-bench-pdb");
        pdbPath = folder + "/largest.pdb";
        pdbBytes = buildPdbImage(lines, "largest", 0).bytes;
        writeBytes(pdbPath, pdbBytes);
    }
    ~PdbInput() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

PdbInput& input() {
    static PdbInput in;
    return in;
}

void BM_Floor_OneWrite(benchmark::State& state) {
    const std::string path = input().folder + "/floor.pdb";
    for (auto _ : state)
        writeBytes(path, input().pdbBytes);
    state.counters["lines"] = static_cast<double>(input().lines.size());
    state.counters["bytes"] = static_cast<double>(input().pdbBytes.size());
}

// Not a floor of the targets: the safe replace every save must do (temporary file, sync, rename),
// to show how much of WritePdb is the file system's.
void BM_SafeWrite(benchmark::State& state) {
    const std::string path = input().folder + "/safe.pdb";
    for (auto _ : state)
        if (!writeFileAtomically(path, input().pdbBytes)) state.SkipWithError("write failed");
}

void BM_WritePdb(benchmark::State& state) {
    SilentPrompter prompter;
    QuestionSet set;
    set.lines = input().lines;
    const std::string path = input().folder + "/written.pdb";
    for (auto _ : state)
        if (WritePdb(set, path, prompter) != 0) state.SkipWithError("WritePdb failed");
}

void BM_Floor_SplitPdbBytes(benchmark::State& state) {
    for (auto _ : state) {
        auto lines = splitAtLineFeeds(input().pdbBytes);
        benchmark::DoNotOptimize(lines.data());
    }
}

void BM_ConvertPdbToText(benchmark::State& state) {
    SilentPrompter prompter;
    const std::string text = input().folder + "/$temp.txt";
    for (auto _ : state)
        if (ConvertPdbToText(input().pdbPath, text, prompter) != 0) state.SkipWithError("conversion failed");
}

BENCHMARK(BM_Floor_OneWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SafeWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WritePdb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor_SplitPdbBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertPdbToText)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    return rovik::bench::runWithRatios(
        argc, argv,
        {{"BM_WritePdb", "BM_Floor_OneWrite", 2.0},
         {"BM_ConvertPdbToText", "BM_Floor_SplitPdbBytes", 3.0},
         {"BM_SafeWrite", "BM_Floor_OneWrite", 2.0}, // how much the safe replace alone takes
         {"BM_WritePdb", "BM_SafeWrite", 2.0}});
}
