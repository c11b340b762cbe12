#include "platform/Registry.h"

#include "support/TempFolder.h"

#include <cstdlib>
#include <gtest/gtest.h>

#ifndef _WIN32 // the file standing for the registry
namespace rovik {
namespace {

const char* const kCore = "Software\\U.S. Robotics\\Pilot Desktop\\Core";

struct RegistryTest : ::testing::Test {
    test::TempFolder folder;
    std::string path = folder.file("hkcu.reg");
    RegistryTest() { setRegistryFilePath(path); }
    ~RegistryTest() override { setRegistryFilePath({}); }
    void write(const std::string& text) { folder.write("hkcu.reg", text); }
    std::string read() const { return test::TempFolder::read(path); }
};

const std::string kSample = "REGEDIT4\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n"
                            "\"HotSyncPath\"=\"C:\\\\Palm\\\\hotsync.exe\"\r\n"
                            "\"Path\"=\"C:\\\\Palm\"\r\n"
                            "\r\n"
                            "[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n"
                            "\"Install3\"=dword:00000000\r\n"
                            "\r\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\Other]\r\n"
                            "\"Path\"=\"elsewhere\"\r\n";

TEST_F(RegistryTest, Registry_MissingFileOpensNoKey) {
    RegistryKey key;
    EXPECT_FALSE(key.open(kCore));
    EXPECT_FALSE(key.isOpen());
    EXPECT_FALSE(key.readString("Path"));
    EXPECT_FALSE(key.writeDword("Install1", 1));
}

TEST_F(RegistryTest, Registry_KeysAreFoundWithOrWithoutTheRootAndInAnyCase) {
    write(kSample);
    const struct {
        const char* key;
        bool exists;
    } cases[] = {
        {"Software\\U.S. Robotics\\Pilot Desktop\\Core", true},
        {"software\\u.s. robotics\\pilot desktop\\CORE", true},
        {"Software\\U.S. Robotics\\Pilot Desktop\\Core\\", true},
        {"Software\\U.S. Robotics\\Pilot Desktop", true}, // a parent of a key exists too
        {"Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager", true},
        {"Software\\U.S. Robotics\\Pilot Desktop\\Preferences", false},
        {"Software\\U.S. Robotics\\Pilot", false}, // not a whole key name
        {"Software\\Other", false},                // only under another root
    };
    for (const auto& c : cases) {
        RegistryKey key;
        EXPECT_EQ(c.exists, key.open(c.key)) << c.key;
    }
    EXPECT_EQ(kSample, read()) << "opening never creates a key";
}

TEST_F(RegistryTest, Registry_ReadsStringsAndDwords) {
    write(kSample);
    RegistryKey core;
    ASSERT_TRUE(core.open(kCore));
    EXPECT_EQ("C:\\Palm\\hotsync.exe", core.readString("HotSyncPath"));
    EXPECT_EQ("C:\\Palm", core.readString("path"));
    EXPECT_FALSE(core.readString("LastUserName"));
    EXPECT_FALSE(core.readDword("Path"));
    RegistryKey manager;
    ASSERT_TRUE(manager.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    EXPECT_EQ(0u, manager.readDword("Install3"));
    EXPECT_FALSE(manager.readString("Install3"));
}

TEST_F(RegistryTest, Registry_EachValueIsReadInTheEncodingOfItsLine) {
    const struct {
        const char* what;
        std::string quoted; // between the quotes of "Name"="..."
        std::optional<std::string> value;
    } cases[] = {
        // UTF-8 whose bytes lie in Shift-JIS lead ranges: the closing quote is no trail byte.
        {"UTF-8 デスクトップ",
         "/home/u/\xE3\x83\x87\xE3\x82\xB9\xE3\x82\xAF\xE3\x83\x88\xE3\x83\x83\xE3\x83\x97",
         "/home/u/デスクトップ"},
        {"UTF-8 ぁ", "/home/u/\xE3\x81\x81", "/home/u/ぁ"},
        {"UTF-8 that is CP932 too", "\xE3\x83\x91\xE3\x83\xBC\xE3\x83\xA0", "パーム"},
        {"UTF-8 with escapes", "C:\\\\\xE3\x83\x91\\\"x", "C:\\パ\"x"},
        {"UTF-8 outside CP932", "J\xC3\xBCrgen \xF0\x9F\x98\x80", "Jürgen 😀"},
        // CP932 whose trail byte is a backslash: no escape, and the escaped backslash after it.
        {"CP932 ソフト\\表", "\x83\x5C\x83\x74\x83\x67\\\\\x95\x5C", "ソフト\\表"},
        {"CP932 ending in a 0x5C trail byte", "\x8F\x5C", "十"},
        {"CP932 half-width kana", "\xB1\xB2\xB3", "ｱｲｳ"},
        {"neither UTF-8 nor CP932", "\xFF\xFE.txt", std::nullopt},
    };
    for (const auto& c : cases) {
        write("[K]\r\n\"Name\"=\"" + c.quoted + "\"\r\n\"Next\"=\"ok\"\r\n");
        RegistryKey key;
        ASSERT_TRUE(key.open("K")) << c.what;
        EXPECT_EQ(c.value, key.readString("Name")) << c.what;
        EXPECT_EQ("ok", key.readString("Next")) << c.what;
    }
}

TEST_F(RegistryTest, Registry_Cp932ExportOfAJapaneseWindowsReadsAndKeepsItsBytes) {
    // As regedit's REGEDIT4 export writes it: CP932, CR LF.
    const std::string exported =
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n"
        "\"HotSyncPath\"=\"C:\\\\\x83\x70\x81\x5B\x83\x80\\\\hotsync.exe\"\r\n"
        "\"Path\"=\"C:\\\\\x83\x70\x81\x5B\x83\x80\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\r\n"
        "\"LastUserName\"=\"\x8E\x52\x93\x63\"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n"
        "\"\x83\x5C\x83\x74\x83\x67\"=\"\x95\x5C\"\r\n";
    write(exported);
    RegistryKey core, preferences, manager;
    ASSERT_TRUE(core.open(kCore));
    EXPECT_EQ("C:\\パーム\\hotsync.exe", core.readString("HotSyncPath"));
    EXPECT_EQ("C:\\パーム", core.readString("Path"));
    ASSERT_TRUE(preferences.open("Software\\U.S. Robotics\\Pilot Desktop\\Preferences"));
    EXPECT_EQ("山田", preferences.readString("LastUserName"));
    ASSERT_TRUE(manager.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    EXPECT_EQ("表", manager.readString("ソフト"));
    ASSERT_TRUE(manager.writeDword("Install1", 1));
    EXPECT_EQ(exported + "\"Install1\"=dword:00000001\r\n", read()) << "the CP932 lines stay as they were";
}

// A CP932 line is shorter as bytes than as text: its line end is found in its bytes.
TEST_F(RegistryTest, Registry_WritesBesideCp932LinesKeepTheirLineEnds) {
    const struct {
        const char* what;
        std::string before;
        const char* name;
        std::string after;
    } cases[] = {
        {"added after a last line without line end", "[K]\r\n\"\x83\x5C\"=\"x\"", "Install7",
         "[K]\r\n\"\x83\x5C\"=\"x\"\r\n\"Install7\"=dword:00000001\r\n"},
        {"replaced on a CP932 line", "[K]\r\n\"\x83\x5C\"=dword:00000000\r\n\"B\"=\"b\"\r\n", "ソ",
         "[K]\r\n\"\xE3\x82\xBD\"=dword:00000001\r\n\"B\"=\"b\"\r\n"},
    };
    for (const auto& c : cases) {
        write(c.before);
        RegistryKey key;
        ASSERT_TRUE(key.open("K")) << c.what;
        ASSERT_TRUE(key.writeDword(c.name, 1)) << c.what;
        EXPECT_EQ(c.after, read()) << c.what;
    }
}

TEST_F(RegistryTest, Registry_Utf16ExportReadsAndIsRewrittenAsUtf8) {
    const std::u16string text = u"Windows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_CURRENT_USER\\K]\r\n\"Path\"=\"C:\\\\パーム\"\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    write(bytes);
    RegistryKey key;
    ASSERT_TRUE(key.open("K"));
    EXPECT_EQ("C:\\パーム", key.readString("Path"));
    ASSERT_TRUE(key.writeDword("Install1", 1));
    EXPECT_EQ("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\K]\r\n"
              "\"Path\"=\"C:\\\\\xE3\x83\x91\xE3\x83\xBC\xE3\x83\xA0\"\r\n\"Install1\"=dword:00000001\r\n",
              read());
    write(bytes.substr(0, bytes.size() - 3)); // cut inside a character
    EXPECT_FALSE(key.open("K"));
}

TEST_F(RegistryTest, Registry_BrokenFilesAreReadAsFarAsSound) {
    const struct {
        const char* what;
        std::string text;
        const char* name;
        std::optional<std::string> value;
    } cases[] = {
        {"unterminated string", "[K]\n\"A\"=\"no end\n\"B\"=\"b\"\n", "A", std::nullopt},
        {"line after an unterminated string", "[K]\n\"A\"=\"no end\n\"B\"=\"b\"\n", "B", "b"},
        {"unterminated name", "[K]\n\"A=\"x\"\n", "A", std::nullopt},
        {"no equals sign", "[K]\n\"A\" \"x\"\n\"B\"=\"b\"\n", "A", std::nullopt},
        {"text after the value", "[K]\n\"A\"=\"x\" junk\n", "A", std::nullopt},
        {"garbage lines", "\x01\x02\xff\n[K\n]\n[K]\n=\n\"\n\"A\"=\"x\"\n", "A", "x"},
        {"later definition wins", "[K]\n\"A\"=\"1\"\n[K]\n\"A\"=\"2\"\n", "A", "2"},
        {"deleted value", "[K]\n\"A\"=\"1\"\n\"A\"=-\n", "A", std::nullopt},
        {"binary value is no string", "[K]\n\"A\"=hex:41,42\n", "A", std::nullopt},
        {"value before any section", "\"A\"=\"x\"\n[K]\n", "A", std::nullopt},
        {"deleted key section", "[-K]\n\"A\"=\"x\"\n[K]\n", "A", std::nullopt},
        {"lone CR line ends", "[K]\r\"A\"=\"x\"\r", "A", "x"},
        {"no line end at all", "[K]\n\"A\"=\"x\"", "A", "x"},
        {"huge value", "[K]\n\"A\"=\"" + std::string(kMaxRegistryValueBytes + 1, 'x') + "\"\n", "A",
         std::nullopt},
        {"largest value", "[K]\n\"A\"=\"" + std::string(kMaxRegistryValueBytes, 'x') + "\"\n", "A",
         std::string(kMaxRegistryValueBytes, 'x')},
    };
    for (const auto& c : cases) {
        write(c.text);
        RegistryKey key;
        ASSERT_TRUE(key.open("K")) << c.what;
        EXPECT_EQ(c.value, key.readString(c.name)) << c.what;
    }
}

TEST_F(RegistryTest, Registry_DwordsMustBeSound) {
    const struct {
        const char* line;
        std::optional<std::uint32_t> value;
    } cases[] = {
        {"\"A\"=dword:00000001", 1u},
        {"\"A\"=DWORD:ffffffff", 0xFFFFFFFFu},
        {"\"A\"=dword:1", 1u},
        {"\"A\"=dword:100000000", std::nullopt},
        {"\"A\"=dword:", std::nullopt},
        {"\"A\"=dword:12x4", std::nullopt},
        {"\"A\"=dword:-1", std::nullopt},
    };
    for (const auto& c : cases) {
        write(std::string("[K]\n") + c.line + "\n");
        RegistryKey key;
        ASSERT_TRUE(key.open("K"));
        EXPECT_EQ(c.value, key.readDword("A")) << c.line;
    }
}

TEST_F(RegistryTest, Registry_EveryTruncatedFileReadsWithoutHarm) {
    write(kSample);
    for (size_t n = 0; n <= kSample.size(); ++n) {
        write(kSample.substr(0, n));
        RegistryKey key;
        if (!key.open(kCore)) continue;
        auto path = key.readString("Path");
        EXPECT_TRUE(!path || *path == "C:\\Palm") << n;
    }
}

TEST_F(RegistryTest, Registry_WriteReplacesTheValueAndKeepsEverythingElse) {
    write(kSample);
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    ASSERT_TRUE(key.writeDword("install3", 1));
    std::string expected = kSample;
    expected.replace(expected.find("\"Install3\"=dword:00000000"), 25, "\"Install3\"=dword:00000001");
    EXPECT_EQ(expected, read());
    EXPECT_EQ(1u, key.readDword("Install3"));
}

TEST_F(RegistryTest, Registry_WriteAddsANewValueToItsSection) {
    write(kSample);
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    ASSERT_TRUE(key.writeDword("Install12", 0x1A));
    std::string expected = kSample;
    std::string after = "\"Install3\"=dword:00000000\r\n";
    expected.insert(expected.find(after) + after.size(), "\"Install12\"=dword:0000001a\r\n");
    EXPECT_EQ(expected, read());
    RegistryKey again;
    ASSERT_TRUE(again.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    EXPECT_EQ(0x1Au, again.readDword("Install12"));
    EXPECT_EQ(0u, again.readDword("Install3"));
}

TEST_F(RegistryTest, Registry_WriteIntoAParentKeyAddsItsSection) {
    write("[A\\B]\n\"X\"=\"1\"");
    RegistryKey key;
    ASSERT_TRUE(key.open("A"));
    ASSERT_TRUE(key.writeDword("F", 2));
    EXPECT_EQ("[A\\B]\n\"X\"=\"1\"\n\n[A]\n\"F\"=dword:00000002\n", read());
}

TEST_F(RegistryTest, Registry_WriteFailsWhenTheKeyWentAway) {
    write(kSample);
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    write("REGEDIT4\r\n");
    EXPECT_FALSE(key.writeDword("Install1", 1));
    EXPECT_EQ("REGEDIT4\r\n", read());
}

TEST_F(RegistryTest, Registry_DefaultFileFollowsTheConfigurationFolder) {
    setRegistryFilePath({});
    const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    std::string savedConfig = oldConfig ? oldConfig : "", savedHome = oldHome ? oldHome : "";
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ("/cfg/rovik/HKEY_CURRENT_USER.reg", registryFilePath());
    setenv("XDG_CONFIG_HOME", "relative", 1); // not absolute: ignored as XDG says
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ("/home/u/.config/rovik/HKEY_CURRENT_USER.reg", registryFilePath());
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ("/home/u/.config/rovik/HKEY_CURRENT_USER.reg", registryFilePath());
    setRegistryFilePath("/tmp/x.reg");
    EXPECT_EQ("/tmp/x.reg", registryFilePath());
    if (oldConfig) setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    if (oldHome) setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
} // namespace rovik
#endif
