#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

TEST(Cp932_Decode, ConvertsJapaneseAndKeepsAscii) {
    EXPECT_EQ("tTitle\t無題", cp932ToUtf8("tTitle\t\x96\xB3\x91\xE8"));
    EXPECT_EQ("ｱ", cp932ToUtf8("\xB1"));
    EXPECT_EQ("表", cp932ToUtf8("\x95\x5C"));
    EXPECT_EQ("1～9", cp932ToUtf8("1\x81\x60"
                                  "9"));
}

TEST(Cp932_Decode, ReplacesBrokenBytesAndGoesOn) {
    EXPECT_EQ("a\xEF\xBF\xBD"
              "b",
              cp932ToUtf8("a\xA0"
                          "b"));
    EXPECT_EQ("x\xEF\xBF\xBD", cp932ToUtf8("x\x83")); // lead byte at the end
    std::string longText(100000, 'a');
    EXPECT_EQ(longText, cp932ToUtf8(longText));
}

TEST(Cp932_Encode, RoundTripsWhatCp932Holds) {
    const std::string texts[] = {"第１項目は1～9,A～Fです。", "ﾃｷｽﾄ保存(&S)...", "表示", "", "—"};
    for (const auto& text : texts) {
        Cp932Encoding encoded = utf8ToCp932(text);
        EXPECT_TRUE(encoded.ok()) << text;
        EXPECT_EQ(text == "—" ? "\xE2\x80\x95" : text, cp932ToUtf8(encoded.bytes)) << text;
    }
    EXPECT_EQ("\x95\x5C", toCp932("表"));
}

TEST(Cp932_Encode, ReportsWhatItCannotHold) {
    Cp932Encoding encoded = utf8ToCp932("a😀b한😀");
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ("ab", encoded.bytes);
    EXPECT_EQ("😀한", encoded.unmappable);
    EXPECT_EQ(std::string::npos, encoded.bytes.find('?'));
}

// The JIS forms of characters CP932 holds in Windows' form: one way, as iconv takes them, on every
// system; Windows' own bytes for U+0080 and U+F8F0 to U+F8F3 are no Shift-JIS and read back as U+FFFD.
TEST(Cp932_Encode, TakesTheJisFormsAndRefusesWindowsOwnBytes) {
    const struct {
        const char* utf8;
        const char* cp932; // nullptr: unmappable
    } cases[] = {
        {"¢", "\x81\x91"},   {"£", "\x81\x92"},   {"¥", "\x5C"},       {"¬", "\x81\xCA"},  {"—", "\x81\x5C"},
        {"‖", "\x81\x61"},   {"‾", "\x7E"},       {"−", "\x81\x7C"},   {"〜", "\x81\x60"}, {"～", "\x81\x60"},
        {"\u0080", nullptr}, {"\uF8F0", nullptr}, {"\uF8F3", nullptr}, {"ä", nullptr},
    };
    for (const auto& c : cases) {
        Cp932Encoding e = utf8ToCp932(std::string("a") + c.utf8);
        EXPECT_EQ(c.cp932 == nullptr, !e.ok()) << c.utf8;
        EXPECT_EQ(std::string("a") + (c.cp932 ? c.cp932 : ""), e.bytes) << c.utf8;
    }
    for (const char* stray : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"})
        EXPECT_EQ("\xEF\xBF\xBD", cp932ToUtf8(stray))
            << "a single byte " << int(static_cast<unsigned char>(*stray));
}

} // namespace
} // namespace rovik
