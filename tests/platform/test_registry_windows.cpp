#include "platform/Registry.h"

#include <gtest/gtest.h>

#ifdef _WIN32 // the real HKEY_CURRENT_USER
#include <windows.h>

namespace rovik {
namespace {

const char* const kKey = "Software\\RovikTest\\Pilot Desktop\\Core";
const wchar_t* const kWideKey = L"Software\\RovikTest\\Pilot Desktop\\Core";

bool keyExists(const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A key of the test's own, made with the API the program never uses, removed afterwards.
struct WindowsRegistryTest : ::testing::Test {
    HKEY key = nullptr;
    WindowsRegistryTest() {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\RovikTest");
        RegCreateKeyExW(HKEY_CURRENT_USER, kWideKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    }
    ~WindowsRegistryTest() override {
        RegCloseKey(key);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\RovikTest");
    }
    void setString(const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
        RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void setDword(const wchar_t* name, DWORD value) {
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
};

TEST_F(WindowsRegistryTest, OpeningNeverCreatesAKey) {
    RegistryKey reg;
    EXPECT_FALSE(reg.open("Software\\RovikTest\\Pilot Desktop\\HotSync Manager"));
    EXPECT_FALSE(reg.isOpen());
    EXPECT_FALSE(reg.writeDword("Install1", 1));
    EXPECT_FALSE(keyExists(L"Software\\RovikTest\\Pilot Desktop\\HotSync Manager"));
    EXPECT_TRUE(reg.open(kKey));
    EXPECT_TRUE(reg.open("software\\rovIKtest\\pilot desktop\\CORE")) << "names are found in any case";
}

// Converted once, from UTF-16 to UTF-8: a folder CP932 cannot hold names its folder too.
TEST_F(WindowsRegistryTest, StringsComeBackAsUtf8) {
    setString(L"Path", L"C:\\Palm");
    setString(L"Japanese", L"C:\\\u30BD\u30D5\u30C8"); // "ソフト": its CP932 form holds a backslash byte
    setString(L"Expand", L"%ProgramFiles%\\Palm", REG_EXPAND_SZ);
    setString(L"Empty", L"");
    setString(L"Korean", L"\uD55C");
    setString(L"Surrogates", std::wstring{wchar_t(0xD842), wchar_t(0xDFB7)});
    setString(L"LoneSurrogate", std::wstring(1, wchar_t(0xD842)));
    setDword(L"Number", 7);
    RegistryKey reg;
    ASSERT_TRUE(reg.open(kKey));
    const struct {
        const char* name;
        std::optional<std::string> value;
    } cases[] = {
        {"Path", std::string("C:\\Palm")},
        {"path", std::string("C:\\Palm")},
        {"Japanese", std::string("C:\\\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88")},
        {"Expand", std::string("%ProgramFiles%\\Palm")}, // read as stored, not expanded
        {"Empty", std::string()},
        {"Korean", std::string("\xED\x95\x9C")},
        {"Surrogates", std::string("\xF0\xA0\xAE\xB7")},
        {"LoneSurrogate", std::nullopt}, // no character: not sound, not a guess
        {"Number", std::nullopt},
        {"Missing", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value, reg.readString(c.name)) << c.name;
}

TEST_F(WindowsRegistryTest, OverlongStringsCountAsMissing) {
    setString(L"Long", std::wstring(kMaxRegistryValueBytes + 1, L'a'));
    setString(L"Longest", std::wstring(kMaxRegistryValueBytes, L'a'));
    RegistryKey reg;
    ASSERT_TRUE(reg.open(kKey));
    EXPECT_FALSE(reg.readString("Long"));
    EXPECT_EQ(kMaxRegistryValueBytes, reg.readString("Longest").value_or("").size());
    setString(L"LongInUtf8", std::wstring(kMaxRegistryValueBytes / 3 + 1, L'\u30D1')); // 3 bytes each
    EXPECT_FALSE(reg.readString("LongInUtf8"));
}

TEST_F(WindowsRegistryTest, DwordsAreWrittenIntoTheRealRegistry) {
    setDword(L"Install1", 0);
    setString(L"Text", L"1");
    RegistryKey reg;
    ASSERT_TRUE(reg.open(kKey));
    EXPECT_EQ(0u, reg.readDword("Install1"));
    EXPECT_FALSE(reg.readDword("Text"));
    ASSERT_TRUE(reg.writeDword("Install1", 1));
    ASSERT_TRUE(reg.writeDword("Install12", 0xFFFFFFFFu));
    DWORD value = 0, size = sizeof value, type = 0;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExW(key, L"Install12", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(0xFFFFFFFFu, value);
    EXPECT_EQ(1u, reg.readDword("Install1"));
}

} // namespace
} // namespace rovik
#endif
