#pragma once
// Opening a QA text file into the question set: the append-or-replace question, reading,
// validation with the error log, the half-width katakana fix and the window's refresh.
#include "platform/TextEncoding.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

struct DataContext;
struct QuestionSet;

enum class LoadMode { Append, Replace, Cancelled };

// Asks whether to append to the set or replace it, offering to save first (Yes, No, Cancel). A
// cancelled question, or a save that was cancelled or failed, cancels. With an empty set the mode
// is replace and nothing is asked. The caller empties the lines for a replace.
LoadMode AskLoadMode(DataContext& ctx);

// How an opened file is remembered: the path for the recently used files (empty: none) and the
// current file name; both default to the path read. A file written by the open itself need not
// exist before.
struct OpenedFile {
    std::optional<std::string> recent;
    std::optional<std::string> current;
    bool mustExist = true;
};

// What opening and importing a file share: the file must exist, the append-or-replace question,
// the data folder, then `read` (0 when it appended lines), the recent files, the current file name
// and the window's refresh. False when nothing was added; a replacing open then puts the old lines
// back.
bool OpenIntoSet(DataContext& ctx, const std::string& path, const std::function<int()>& read,
                 const OpenedFile& opened = {});

// Loads the file at `path` into the set, asking first whether to append or replace. A refused,
// empty or unreadable file adds nothing and replaces nothing. Files the program made itself from
// CP932 data are read with `choice` Cp932.
void LoadQAText(DataContext& ctx, const std::string& path, const OpenedFile& opened = {},
                EncodingChoice choice = EncodingChoice::Auto);

// Reads and validates the file and appends its lines: 0 (appended), -1 (empty or unreadable, after
// a message naming the file) or -9 (refused; the error log has been shown).
int ReadAndValidate(DataContext& ctx, const std::string& path, EncodingChoice choice = EncodingChoice::Auto);

// Reads the file into the loading buffer in CP932 (a UTF-8 file converted; one holding characters
// CP932 cannot hold is refused with a log of them), validates it in `mode` (showing the error log
// when refused) and fixes its half-width katakana with a notice: 0, -1 (empty or unreadable) or
// -9. On 0 the set remembers the file's encoding.
int ReadValidateAndFix(DataContext& ctx, const std::string& path, int mode, int format,
                       EncodingChoice choice = EncodingChoice::Auto);

// Checks lines made from other data (an import) as loading would check them, writing and showing
// the error log when it would refuse them: true when refused.
bool RefuseUnloadableLines(DataContext& ctx, const std::vector<std::string>& lines);

// Makes every line of the loading buffer full-width when any holds half-width katakana.
// True when it converted.
bool FixHalfWidthKana(QuestionSet& set);

} // namespace rovik
