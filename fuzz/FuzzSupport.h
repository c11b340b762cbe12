#pragma once
// What the harnesses share: a prompter that answers every question the same way without a
// screen, a scratch folder for readers that only take paths, and a check that aborts so that
// libFuzzer records the input.
#include "platform/Prompter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace rovik::fuzz {

// Answers Ok or No to every message and cancels every dialog: the cheapest way through.
class QuietPrompter : public Prompter {
public:
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        ++asked;
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return std::nullopt; }
    std::optional<bool> chooseShowChoices() override { return std::nullopt; }
    int asked = 0;
};

inline std::string inputBytes(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A property every input must keep; a broken one is a finding like a crash.
#define ROVIK_FUZZ_CHECK(condition)                                                                          \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);               \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

// A folder of its own for this process (tmpfs when there is one), made on first use.
const std::string& scratchFolder();

// Writes the bytes to `name` in the scratch folder (replacing the last input) and returns the path.
std::string writeScratchFile(const std::string& name, const std::string& bytes);

} // namespace rovik::fuzz
