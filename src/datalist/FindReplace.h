#pragma once
// Find and replace over the question set's texts as the user sees them: each item is read as
// Shift-JIS characters, so a match never starts or ends inside a double-byte character. Case and
// width (full-width ASCII and half-width katakana) may be told apart or not.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

struct QuestionSet;

enum class FindScope { ShownTitle, AllTitles };

struct FindOptions {
    std::string text;        // UTF-8 as typed
    std::string replacement; // UTF-8 as typed
    FindScope scope = FindScope::ShownTitle;
    bool question = true;
    bool answer = true;
    bool reference = true;
    bool names = false; // title and category names
    bool matchCase = false;
    bool matchWidth = false;
};

// A match: line of the set, item of the line (from 1, as ItemText counts) and the bytes of the
// item's text it covers.
struct FindMatch {
    size_t line = 0;
    int item = 0;
    size_t offset = 0;
    size_t length = 0;
    bool operator==(const FindMatch& other) const {
        return line == other.line && item == other.item && offset == other.offset && length == other.length;
    }
};

// The searched text, ready to compare. Empty when the text is empty or holds characters Shift-JIS
// lacks (no item can hold those).
class FindPattern {
public:
    explicit FindPattern(const FindOptions& options);
    bool empty() const { return m_keys.empty(); }
    // The matches in one item's CP932 text, left to right, not overlapping.
    std::vector<std::pair<size_t, size_t>> matchesIn(const std::string& text) const;

private:
    std::vector<unsigned> m_keys;
    bool m_matchCase;
    bool m_matchWidth;
};

// The items of `line` the options search (record texts, or title and category names).
std::vector<int> searchedItems(const std::string& line, const FindOptions& options);

// Lines [first, end) of the scope: the selected title's block, or every line.
std::pair<size_t, size_t> scopeLines(const QuestionSet& set, FindScope scope);

// Every match in the scope, in line order.
std::vector<FindMatch> findAll(const QuestionSet& set, const FindOptions& options);

// The first match after `from` (before it, going backward), or the nearest place from the
// scope's start when there is no `from`; `wrapped` tells whether the search went round the end.
std::optional<FindMatch> findNext(const QuestionSet& set, const FindOptions& options,
                                  const std::optional<FindMatch>& from, bool backward, bool& wrapped);

// The line with the match replaced. Nothing, with the reason in `refusal` (the record editor's
// own messages), when the replacement cannot go into the line.
std::optional<std::string> replacedLine(const std::string& line, const FindMatch& match,
                                        const FindOptions& options, std::string& refusal);

} // namespace rovik
