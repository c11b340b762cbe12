#pragma once
// Inputs shared by the benchmarks: QA text of a given number of lines, a prompter that is never
// expected to be asked, and the floor every ratio is taken against.
#include "platform/Prompter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace rovik::bench {

// Lines of valid QA text: 15 titles sharing `lineCount` lines, records of 59 bytes
// with double-byte text, CP932.
inline std::vector<std::string> qaLines(int lineCount) {
    const std::string mondai = "\x96\xE2\x91\xE8"; // 問題
    const std::string kotae = "\x93\x9A\x82\xA6";  // 答え
    const std::string sankou = "\x8E\x51\x8D\x6C"; // 参考
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(lineCount));
    const int perTitle = (lineCount + 14) / 15;
    for (int i = 0; static_cast<int>(lines.size()) < lineCount; ++i) {
        if (i % perTitle == 0) {
            lines.push_back("tTitle\t" + mondai + std::to_string(i / perTitle + 1) + "\t3\t3");
            lines.push_back("dBunrui\t" + kotae);
            lines.push_back("sBunrui\t" + sankou);
            continue;
        }
        std::string n = std::to_string(100000 + i);
        lines.push_back("1" + std::string(1, "123456789ABCDEF"[i % 15]) + "\t" + mondai + n + mondai +
                        mondai + "\t" + kotae + n + kotae + kotae + "\t" + sankou + n + sankou + "p." +
                        "\t0");
    }
    lines.resize(static_cast<size_t>(lineCount));
    return lines;
}

inline std::string joinCrLf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines)
        bytes += line + "\r\n";
    return bytes;
}

// The floor: the same bytes, already in memory, split at line feeds.
inline std::vector<std::string> splitAtLineFeeds(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf; (lf = bytes.find('\n', start)) != std::string::npos; start = lf + 1)
        lines.emplace_back(bytes, start, lf - start);
    if (start < bytes.size()) lines.emplace_back(bytes, start, bytes.size() - start);
    return lines;
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A fresh folder for a benchmark's files: $ROVIK_BENCH_DIR, else /dev/shm where it exists, else the
// temporary folder. A memory-backed folder keeps the disk's own timing out of the ratios.
inline std::string benchFolder(const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (const char* env = std::getenv("ROVIK_BENCH_DIR"))
        base = env;
    else if (fs::is_directory("/dev/shm", ec))
        base = "/dev/shm";
    fs::path folder = base / name;
    fs::create_directories(folder, ec);
    return folder.string();
}

class SilentPrompter : public Prompter {
public:
    Answer ask(const std::string&, const std::string&, Buttons, Icon) override { return Answer::Ok; }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }
};

} // namespace rovik::bench
