#include "decks/AnkiCollection.h"
#include "decks/DeckImport.h"
#include "decks/MiniJson.h"
#include "decks/ZipArchive.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <gtest/gtest.h>
#include <zstd.h>

namespace rovik::decks {
namespace {

std::string fixture(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(std::string(ROVIK_FIXTURES) + "/decks/" + name, bytes)) << name;
    return bytes;
}

std::vector<std::string> utf8Lines(const std::vector<std::string>& cp932) {
    std::vector<std::string> lines;
    for (const auto& line : cp932)
        lines.push_back(cp932ToUtf8(line));
    return lines;
}

TEST(AnkiPackage, ReadsTheOlderFormWithItsJsonDecksAndNoteTypes) {
    const AnkiRead read = readAnkiPackage(fixture("older-two-decks.apkg"));
    ASSERT_EQ(read.status, AnkiStatus::Ok) << read.message;
    EXPECT_EQ(read.collection.member, "collection.anki2");
    EXPECT_EQ(read.collection.decks.at(2002), (std::vector<std::string>{"親", "子"}));
    EXPECT_EQ(read.collection.noteTypes.at(1002).fieldNames,
              (std::vector<std::string>{"Text", "Back Extra"}));
    ASSERT_EQ(read.collection.notes.size(), 4u);
    EXPECT_EQ(read.collection.notes[0].tags, (std::vector<std::string>{"動物", "基本"}));
    EXPECT_EQ(read.collection.notes[0].fields,
              (std::vector<std::string>{"<b>dog</b>", "犬&nbsp;(いぬ)<br>[sound:dog.mp3]"}));
    EXPECT_EQ(read.collection.notes[2].deckId, 2002);
}

TEST(AnkiPackage, ReadsCollectionAnki21) {
    const AnkiRead read = readAnkiPackage(fixture("anki21.apkg"));
    ASSERT_EQ(read.status, AnkiStatus::Ok) << read.message;
    EXPECT_EQ(read.collection.member, "collection.anki21");
    ASSERT_EQ(read.collection.notes.size(), 1u);
    EXPECT_EQ(read.collection.notes[0].fields, (std::vector<std::string>{"apple", "りんご"}));
}

TEST(AnkiPackage, ReadsTheNewestFormNotTheUpdateNotice) {
    const AnkiRead read = readAnkiPackage(fixture("anki21b.apkg"));
    ASSERT_EQ(read.status, AnkiStatus::Ok) << read.message;
    EXPECT_EQ(read.collection.member, "collection.anki21b");
    EXPECT_EQ(read.collection.decks.at(2001), (std::vector<std::string>{"言語", "中国語"}));
    EXPECT_EQ(read.collection.noteTypes.at(1001).fieldNames, (std::vector<std::string>{"Front", "Back"}));
    ASSERT_EQ(read.collection.notes.size(), 1u);
    EXPECT_EQ(read.collection.notes[0].fields, (std::vector<std::string>{"你好", "こんにちは"}));
}

struct BadPackage {
    const char* file;
    AnkiStatus status;
    const char* message;
};

class BadPackages : public testing::TestWithParam<BadPackage> {};

TEST_P(BadPackages, AreRefusedWithAMessage) {
    const AnkiRead read = readAnkiPackage(fixture(GetParam().file));
    EXPECT_EQ(read.status, GetParam().status);
    EXPECT_EQ(read.message, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadPackages,
    testing::Values(
        BadPackage{"truncated.apkg", AnkiStatus::NotZip,
                   "Ankiパッケージ（ZIP）として読めません。ファイルが壊れているか途中で切れています。"},
        BadPackage{"bomb.apkg", AnkiStatus::TooLarge,
                   "collection.anki2は展開すると256MBを超えます。読み込みません。"},
        BadPackage{"no-notes-table.apkg", AnkiStatus::NotCollection,
                   "Ankiのコレクションではありません（notesテーブルがありません）。"},
        BadPackage{"not-collection.apkg", AnkiStatus::NotCollection,
                   "Ankiのコレクションではありません（colテーブルがありません）。"},
        BadPackage{"two-members.zip", AnkiStatus::NoCollection,
                   "Ankiのコレクション（collection.anki2、anki21、anki21b）がありません。"}));

TEST(AnkiCollectionBytes, ThatAreNoSqliteAreRefused) {
    EXPECT_EQ(readAnkiCollection("not a database at all, just some text of a length", false).status,
              AnkiStatus::NotCollection);
    EXPECT_EQ(readAnkiCollection("", true).status, AnkiStatus::NotCollection);
}

TEST(AnkiCollectionBytes, SavedInWalModeAreRead) {
    std::string sqlite;
    ASSERT_EQ(readZipMember(fixture("anki21.apkg"), "collection.anki21", 1 << 20, sqlite), ZipStatus::Ok);
    sqlite[18] = sqlite[19] = 2;
    const AnkiRead read = readAnkiCollection(sqlite, false);
    ASSERT_EQ(read.status, AnkiStatus::Ok) << read.message;
    EXPECT_EQ(read.collection.notes.size(), 1u);
}

TEST(Zstd, RefusesOutputPastTheLimitAndBrokenData) {
    const std::string zeros(1000, '\0');
    std::string packed(ZSTD_compressBound(zeros.size()), '\0');
    packed.resize(ZSTD_compress(packed.data(), packed.size(), zeros.data(), zeros.size(), 3));
    std::string out;
    bool tooLarge = false;
    EXPECT_TRUE(zstdDecompress(packed, 1000, out, tooLarge));
    EXPECT_EQ(out, zeros);
    EXPECT_FALSE(zstdDecompress(packed, 999, out, tooLarge));
    EXPECT_TRUE(tooLarge);
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(zstdDecompress("not zstd", 100, out, tooLarge));
    EXPECT_FALSE(tooLarge);
    EXPECT_FALSE(zstdDecompress(packed.substr(0, packed.size() - 3), 1000, out, tooLarge)); // cut short
}

TEST(AnkiImport, MakesOneTitlePerDeckWithTagsHtmlAndCloze) {
    const AnkiRead read = readAnkiPackage(fixture("older-two-decks.apkg"));
    ASSERT_EQ(read.status, AnkiStatus::Ok);
    const DeckImport result = importAnki(read.collection, {});
    ASSERT_EQ(result.outcome, ImportOutcome::Done) << result.message;
    EXPECT_EQ(utf8Lines(result.lines), (std::vector<std::string>{
                                           "tTitle\t英単語\t3\t3",
                                           "dBunrui\t英単語",
                                           "sBunrui\t動物",
                                           "sBunrui\t基本",
                                           "11\tdog\t犬 (いぬ)\t\t0",
                                           "11\tcat & kitten\t猫 子猫\t\t0",
                                           "tTitle\t親・子\t3\t3",
                                           "dBunrui\t子",
                                           "sBunrui\t文法",
                                           "sBunrui\tその他",
                                           "11\t（　）は日本の首都\t東京\t首都\t0",
                                           "11\t東京は（　）の首都\t日本\t\t0",
                                           "12\t<親>\t子こ\t\t0",
                                       }));
    EXPECT_EQ(result.titles, 2);
    EXPECT_EQ(result.records, 5);
    EXPECT_EQ(result.drops.media, 2);
    EXPECT_EQ(result.drops.lineBreaks, 3);
    EXPECT_EQ(result.drops.extraTags, 1);
    EXPECT_EQ(importSummary(result),
              "2タイトル 5件を読み込みました（除外: メディア 2、余分なタグ 1、改行 3）。");
}

TEST(AnkiImport, TakesTheFieldsTheUserChose) {
    const AnkiRead read = readAnkiPackage(fixture("anki21.apkg"));
    AnkiOptions options;
    options.question = 1;
    options.answer = 0;
    const DeckImport result = importAnki(read.collection, options);
    ASSERT_EQ(result.outcome, ImportOutcome::Done);
    EXPECT_EQ(cp932ToUtf8(result.lines.back()), "11\tりんご\tapple\t\t0");
}

TEST(AnkiImport, RefusesCharactersShiftJisCannotHoldOneLineEach) {
    const AnkiRead read = readAnkiPackage(fixture("anki21b.apkg"));
    const DeckImport result = importAnki(read.collection, {});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_TRUE(result.lines.empty());
    EXPECT_EQ(result.charLog, (std::vector<std::string>{
                                  "ノート 3201（Basic）: 文字「你」(U+4F60)はShift-JISで表せません。"}));
}

TEST(AnkiImport, LogsANoteTypeWithOneField) {
    const AnkiRead read = readAnkiPackage(fixture("one-field.apkg"));
    ASSERT_EQ(read.status, AnkiStatus::Ok);
    const DeckImport result = importAnki(read.collection, {});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(utf8Lines(result.log),
              (std::vector<std::string>{"ノート 3401（OneField）",
                                        "解答のフィールドがありません（フィールドは1個です）。",
                                        std::string(31, '-')}));
}

AnkiCollection decksOf(int count) {
    AnkiCollection c;
    for (int i = 0; i < count; ++i) {
        c.decks[100 + i] = {"deck" + std::to_string(10 + i)};
        AnkiNote note;
        note.id = 1000 + i;
        note.deckId = 100 + i;
        note.fields = {"q", "a"};
        c.notes.push_back(note);
    }
    return c;
}

TEST(AnkiImport, MoreDecksThanTitlesNeedAChoice) {
    const AnkiCollection c = decksOf(16);
    DeckImport result = importAnki(c, {});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(result.message,
              "デッキが16個あります。読み込めるのは15個までです。読み込むデッキを選んでください。");
    AnkiOptions options;
    options.decks = {"deck12", "deck20"};
    result = importAnki(c, options);
    ASSERT_EQ(result.outcome, ImportOutcome::Done);
    EXPECT_EQ(result.titles, 2);
    EXPECT_EQ(cp932ToUtf8(result.lines.front()), "tTitle\tdeck12\t3\t3");
    options.decks = {"nothere"};
    EXPECT_EQ(importAnki(c, options).message, "デッキ「nothere」がありません。");
}

TEST(AnkiImport, TitleNamesAreFittedAndNeverTwice) {
    AnkiCollection c;
    const std::string longName = "あいうえおかきくけこさしすせそたちつてと"; // 40 bytes in CP932
    c.decks[1] = {longName + "1"};
    c.decks[2] = {longName + "2"};
    for (int i = 1; i <= 2; ++i) {
        AnkiNote note;
        note.id = i;
        note.deckId = i;
        note.fields = {"q", "a"};
        c.notes.push_back(note);
    }
    const DeckImport result = importAnki(c, {});
    ASSERT_EQ(result.outcome, ImportOutcome::Done);
    EXPECT_EQ(cp932ToUtf8(result.lines[0]), "tTitle\tあいうえおかきくけこさしすせそ\t3\t3");
    EXPECT_EQ(cp932ToUtf8(result.lines[4]), "tTitle\tあいうえおかきくけこさしす(2)\t3\t3");
}

TEST(AnkiImport, KeepsFifteenTagsAsCategoriesAndCountsTheRest) {
    AnkiCollection c;
    c.decks[1] = {"d"};
    for (int i = 0; i < 17; ++i) {
        AnkiNote note;
        note.id = i + 1;
        note.deckId = 1;
        note.fields = {"q", "a"};
        note.tags = {"t" + std::to_string(i + 10)};
        if (i == 0) note.tags.push_back("t11"); // t11 is used twice: the most used
        c.notes.push_back(note);
    }
    const DeckImport result = importAnki(c, {});
    ASSERT_EQ(result.outcome, ImportOutcome::Done);
    // 14 tags and その他: t11 first, then by first use.
    EXPECT_EQ(cp932ToUtf8(result.lines[2]), "sBunrui\tt11");
    EXPECT_EQ(cp932ToUtf8(result.lines[15]), "sBunrui\tt23");
    EXPECT_EQ(cp932ToUtf8(result.lines[16]), "sBunrui\tその他");
    EXPECT_EQ(cp932ToUtf8(result.lines[17]), "12\tq\ta\t\t0");    // note 1: t10 is its first top tag
    EXPECT_EQ(cp932ToUtf8(result.lines.back()), "1F\tq\ta\t\t0"); // t26 is not among them
    // note 1's second tag, and the one tag of each of the notes of t24, t25 and t26
    EXPECT_EQ(result.drops.extraTags, 4);
}

TEST(AnkiImport, ADeckOfAHundredThousandNotesIsOneTitle) {
    AnkiCollection c;
    c.decks[1] = {"big"};
    for (int i = 0; i < 100000; ++i) {
        AnkiNote note;
        note.id = i + 1;
        note.deckId = 1;
        note.fields = {"q", "a"};
        c.notes.push_back(std::move(note));
    }
    const DeckImport result = importAnki(c, {});
    ASSERT_EQ(result.outcome, ImportOutcome::Done);
    EXPECT_EQ(result.records, 100000);
    EXPECT_EQ(result.lines.size(), 100003u); // the database limit is checked when a PDB is written
}

TEST(MiniJson, ReadsWhatTheCollectionsHold) {
    const auto value =
        parseJson(R"({"1":{"name":"a\u3042\"","flds":[{"ord":1},{"ord":0}],"b":true,"n":null}})");
    ASSERT_TRUE(value);
    const JsonValue* model = value->find("1");
    ASSERT_TRUE(model);
    EXPECT_EQ(model->find("name")->text, "aあ\"");
    EXPECT_EQ(model->find("flds")->items[0].find("ord")->text, "1");
    EXPECT_EQ(model->find("b")->text, "true");
    for (const char* bad : {"", "{", "{\"a\":}", "[1,]", "\"\\ud800\"", "{} x"})
        EXPECT_FALSE(parseJson(bad)) << bad;
    EXPECT_FALSE(parseJson(std::string(100, '[') + std::string(100, ']')));
}

} // namespace
} // namespace rovik::decks
