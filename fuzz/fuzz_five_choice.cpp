// The 5TQ reader on any file: it reads only what the counts announce and never past the end;
// a complete file becomes QA text, with and without the choices, that validation can read.
#include "FuzzSupport.h"

#include "data/QaTextFile.h"
#include "data/Validation.h"
#include "import/FiveChoice.h"
#include "quiz/QuizGenerator.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    const FiveChoiceFile file = readFiveChoiceFile(fuzz::writeScratchFile("input.5tq", bytes));
    ROVIK_FUZZ_CHECK(file.status != FiveChoiceStatus::CannotOpen);
    ROVIK_FUZZ_CHECK(file.present <= file.announced);
    ROVIK_FUZZ_CHECK((file.status == FiveChoiceStatus::Ok) == !file.bytes.empty());
    ROVIK_FUZZ_CHECK(file.status == FiveChoiceStatus::Ok || !fiveChoiceMessage(file).empty());
    if (file.status == FiveChoiceStatus::Ok) {
        ROVIK_FUZZ_CHECK(file.bytes.size() ==
                         kFiveChoiceHeaderBytes + file.announced * kFiveChoiceBlockBytes);
        ROVIK_FUZZ_CHECK(bytes.compare(0, file.bytes.size(), file.bytes) == 0);
    }
    // The conversion also takes any bytes on its own: cut or not, every line is one line.
    for (const std::string* source : {&file.bytes, &bytes}) {
        for (bool showChoices : {false, true}) {
            QuizGenerator generator;
            const std::vector<std::string> lines = fiveChoiceLines(*source, "T", showChoices, generator);
            ROVIK_FUZZ_CHECK(!lines.empty());
            const std::string text = fiveChoiceText(lines);
            ROVIK_FUZZ_CHECK(splitTextLines(text).size() == lines.size());
            validationLog(lines, 1, 0);
        }
    }
    return 0;
}
