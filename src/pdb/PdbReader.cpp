#include "pdb/PdbReader.h"

#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "pdb/Pdbcommon.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ROVIK_PDB_SSE2 1
#endif

namespace rovik {
namespace {

constexpr std::size_t kCountOffset = 76;
constexpr std::size_t kListOffset = 78;
constexpr std::size_t kEntrySize = 8;
constexpr std::size_t kHeaderBytes = 80;
constexpr std::size_t kNameBytes = 32;
constexpr std::size_t kTypeOffset = 60;
constexpr const char* kTypeAndCreator = "DataRvk2";

// Any file can be read as a record list; only a Rovik database is one. Its name field holds a
// zero byte and its type and creator are ours.
// A name ended by a zero byte, and a type and creator of printable characters as Palm OS gives
// every application.
bool isPalmDatabase(const std::string& pdb) {
    if (pdb.size() < kListOffset || pdb.find('\0') >= kNameBytes) return false;
    for (std::size_t i = kTypeOffset; i < kTypeOffset + 8; ++i)
        if (pdb[i] < 0x20 || pdb[i] > 0x7E) return false;
    return true;
}

enum ByteClass : unsigned char { Plain, Control, CarriageReturn, LineFeed };

// Control bytes would upset the text's readers; tab, line feed, VT and CR are kept as they are.
constexpr std::array<unsigned char, 256> byteClasses() {
    std::array<unsigned char, 256> classes{};
    for (int b = 0; b < 0x20; ++b)
        classes[static_cast<std::size_t>(b)] = Control;
    classes[0x09] = Plain;
    classes[0x0B] = Plain;
    classes[0x0A] = LineFeed;
    classes[0x0D] = CarriageReturn;
    classes[0x7F] = Control;
    return classes;
}
constexpr std::array<unsigned char, 256> kByteClass = byteClasses();

// The first byte from p on that is not Plain (end when there is none).
const unsigned char* skipPlain(const unsigned char* p, const unsigned char* end) {
#ifdef ROVIK_PDB_SSE2
    // Sixteen at a time: records are text, and most of their bytes need nothing done.
    const __m128i lastControl = _mm_set1_epi8(0x1F);
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i verticalTab = _mm_set1_epi8(0x0B);
    const __m128i del = _mm_set1_epi8(0x7F);
    for (; end - p >= 16; p += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(bytes, lastControl), bytes);
        __m128i kept = _mm_or_si128(_mm_cmpeq_epi8(bytes, tab), _mm_cmpeq_epi8(bytes, verticalTab));
        __m128i special = _mm_or_si128(_mm_andnot_si128(kept, control), _mm_cmpeq_epi8(bytes, del));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(special));
        if (mask == 0) continue;
        while ((mask & 1u) == 0) {
            mask >>= 1;
            ++p;
        }
        return p;
    }
#endif
    while (p < end && kByteClass[*p] == Plain)
        ++p;
    return p;
}

// Turns the concatenated records into text lines as the records arrive. A CR at the end of one
// record and an LF at the start of the next still make one line end.
class TextBuilder {
public:
    explicit TextBuilder(std::string& out) : m_out(out) {}

    void add(const unsigned char* p, const unsigned char* end) {
        while (p < end) {
            unsigned char c = *p;
            if (m_pendingCr) {
                m_pendingCr = false;
                if (c == '\n') {
                    ++p;
                    continue;
                }
            }
            if (m_lineStart) {
                m_lineStart = false;
                if (c == ' ') { // the writer's pad space
                    ++p;
                    continue;
                }
            }
            const unsigned char* run = p;
            p = skipPlain(p, end);
            m_out.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
            if (p == end) break;
            switch (kByteClass[*p]) {
            case Control:
                m_out += '$';
                break;
            case CarriageReturn:
                m_pendingCr = true;
                [[fallthrough]];
            default:
                m_out += "\r\n";
                m_lineStart = true;
            }
            ++p;
        }
    }

    void finish() {
        if (!m_lineStart) m_out += "\r\n";
    }

private:
    std::string& m_out;
    bool m_lineStart = true;
    bool m_pendingCr = false;
};

} // namespace

std::string pdbReadMessage(PdbReadStatus status) {
    switch (status) {
    case PdbReadStatus::Ok:
        return {};
    case PdbReadStatus::ShortHeader:
    case PdbReadStatus::ShortRecordList:
    case PdbReadStatus::NotADatabase:
        return "PDBﾌｧｲﾙが壊れているため読み込めませんでした。";
    case PdbReadStatus::OtherDatabase:
        return "PDBﾌｧｲﾙがRovikのデータベースではないため読み込めませんでした。";
    case PdbReadStatus::TooLarge:
        return "PDBﾌｧｲﾙが大きすぎるため読み込めませんでした。";
    case PdbReadStatus::CannotOpen:
    case PdbReadStatus::CannotWriteText:
        break;
    }
    return "ファイルが開けません";
}

int pdbReadResult(PdbReadStatus status) {
    if (status == PdbReadStatus::Ok) return 0;
    return status == PdbReadStatus::TooLarge ? -2 : -1;
}

int ReadPdbHeader(const std::string& path, std::string& header, Prompter& prompter) {
    header.clear();
    std::FILE* f = folderExists(path) ? nullptr : openFile(path, "rb");
    if (!f) {
        prompter.error(pdbReadMessage(PdbReadStatus::CannotOpen));
        return -1;
    }
    header.resize(kHeaderBytes);
    header.resize(std::fread(header.data(), 1, kHeaderBytes, f));
    std::fclose(f);
    if (pdbRecordCount(header) < 0) {
        prompter.error(pdbReadMessage(PdbReadStatus::ShortHeader));
        return -1;
    }
    return 0;
}

int pdbRecordCount(const std::string& header) {
    std::uint16_t n = 0;
    return readU16(header, kCountOffset, n) ? n : -1;
}

PdbReadStatus pdbToText(const std::string& pdb, std::string& text) {
    text.clear();
    const int n = pdbRecordCount(pdb);
    if (n < 0) return PdbReadStatus::ShortHeader;
    if (!isPalmDatabase(pdb)) return PdbReadStatus::NotADatabase;
    if (pdb.compare(kTypeOffset, 8, kTypeAndCreator) != 0) return PdbReadStatus::OtherDatabase;
    std::vector<std::uint32_t> offsets(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < offsets.size(); ++i)
        if (!readU32(pdb, kListOffset + kEntrySize * i, offsets[i])) return PdbReadStatus::ShortRecordList;

    // Record i runs up to the next record's offset; offsets past the end are taken as the end and
    // a record whose successor starts before it is empty, so every read stays inside the file.
    const std::uint64_t size = pdb.size();
    auto startOf = [&](std::size_t i) { return std::min<std::uint64_t>(offsets[i], size); };
    auto endOf = [&](std::size_t i) { return i + 1 < offsets.size() ? startOf(i + 1) : size; };
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < offsets.size(); ++i)
        if (endOf(i) > startOf(i)) total += endOf(i) - startOf(i);
    // Records that overlap could multiply the file many times over.
    if (total > kMaxPdbTextBytes) return PdbReadStatus::TooLarge;

    text.reserve(static_cast<std::size_t>(total + total / 8 + 2));
    TextBuilder builder(text);
    const auto* bytes = reinterpret_cast<const unsigned char*>(pdb.data());
    for (std::size_t i = 0; i < offsets.size(); ++i)
        if (endOf(i) > startOf(i)) builder.add(bytes + startOf(i), bytes + endOf(i));
    builder.finish();
    return PdbReadStatus::Ok;
}

PdbReadStatus readPdbText(const std::string& pdbPath, std::string& text, std::string* reason) {
    std::int64_t size = FileSize(pdbPath);
    if (size > static_cast<std::int64_t>(kMaxPdbTextBytes)) return PdbReadStatus::TooLarge;
    std::string pdb;
    if (!readWholeFile(pdbPath, pdb, reason)) return PdbReadStatus::CannotOpen;
    if (pdb.size() > kMaxPdbTextBytes) return PdbReadStatus::TooLarge;
    return pdbToText(pdb, text);
}

PdbReadStatus convertPdbFile(const std::string& pdbPath, const std::string& textPath, std::string* reason) {
    std::string text;
    PdbReadStatus status = readPdbText(pdbPath, text, reason);
    if (status != PdbReadStatus::Ok) return status;
    if (!writeFileAtomically(textPath, text, reason)) return PdbReadStatus::CannotWriteText;
    return PdbReadStatus::Ok;
}

int ConvertPdbToText(const std::string& pdbPath, const std::string& textPath, Prompter& prompter) {
    PdbReadStatus status = convertPdbFile(pdbPath, textPath);
    if (status != PdbReadStatus::Ok) prompter.error(pdbReadMessage(status));
    return pdbReadResult(status);
}

void OpenPdb(DataContext& ctx, const std::string& path) {
    const std::string temp = startFolderFile(ctx.values, "$temp.txt");
    ctx.view.setBusy(true);
    ctx.view.setStatusText("PDBｺﾝﾊﾞｰﾄ中...");
    PdbReadStatus status = convertPdbFile(path, temp);
    ctx.view.setBusy(false);
    if (status != PdbReadStatus::Ok) {
        ctx.prompter.error(status == PdbReadStatus::CannotOpen ? cannotOpenText(path)
                                                               : pdbReadMessage(status));
        ctx.view.setStatusText("");
        return;
    }
    if (FileSize(temp) == 0) {
        ctx.prompter.ask(noDataText(path), "確認", Buttons::Ok, Icon::Warning);
        ctx.view.setStatusText("");
        return;
    }
    ctx.view.setStatusText("ﾌｧｲﾙ読み込み中...");
    // The user opened the database, not the temporary text: remember and propose its name. Records
    // are CP932 as they stand, even those that happen to be valid UTF-8.
    OpenedFile opened;
    opened.recent = path;
    opened.current = path.substr(0, path.size() - std::min<size_t>(path.size(), 4)) + ".txt";
    LoadQAText(ctx, temp, opened, EncodingChoice::Cp932);
    ctx.view.setStatusText("");
}

} // namespace rovik
