// The settings store and the file facility against the real registry and
// file system.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_settings.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

using testing::TempDir;

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\VB and VBA Program Settings\\" + widen(kApp)).c_str());
    }
    HKEY openSection() const {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER,
                        (L"Software\\VB and VBA Program Settings\\" + widen(kApp) + L"\\" + widen(kSection)).c_str(), 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        return key;
    }
    const std::string kApp = "PictavoContractTest" + std::to_string(GetCurrentProcessId());
    const std::string kSection = "Pictavo";
    Win32Settings settings;
};

TEST_F(SettingsTest, ValuesRoundTripAsRegistryStrings) {
    const struct { const char* key; const char* value; } cases[] = {
        {"SourceFile", "C:\\Bilder\\Grüße ÄÖÜ ß\\*.JPG"},
        {"Empty", ""},
        {"Blanks", "  zwei  "},
        {"Euro", "€ 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(settings.write(kApp, kSection, c.key, c.value));
        EXPECT_EQ(settings.read(kApp, kSection, c.key, "fallback"), c.value);
    }
    HKEY key = openSection();
    ASSERT_NE(key, nullptr);
    DWORD type = 0;
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExW(key, L"SourceFile", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data, L"C:\\Bilder\\Grüße ÄÖÜ ß\\*.JPG");
}

TEST_F(SettingsTest, MissingValuesAndValuesOfOtherTypesGiveTheFallback) {
    EXPECT_EQ(settings.read(kApp, kSection, "WinTop", "1200"), "1200");
    ASSERT_TRUE(settings.write(kApp, kSection, "Wait", "5"));
    EXPECT_EQ(settings.read(kApp, "OtherSection", "Wait", "x"), "x");
    HKEY key = openSection();
    ASSERT_NE(key, nullptr);
    const DWORD number = 7;
    RegSetValueExW(key, L"Wait", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    // A string written by someone else without its terminator.
    const wchar_t bare[] = {L'a', L'b', L'c'};
    RegSetValueExW(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare), sizeof bare);
    RegCloseKey(key);
    EXPECT_EQ(settings.read(kApp, kSection, "Wait", "fallback"), "fallback");
    EXPECT_EQ(settings.read(kApp, kSection, "Bare", "fallback"), "abc");
}

class FilesTest : public ::testing::Test {
protected:
    void make(const std::string& name, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        ASSERT_TRUE(files.writeFile(dir.file(name), bytes));
        SetFileAttributesW(widen(dir.file(name)).c_str(), attributes);
    }
    void makeDir(const std::string& name) { CreateDirectoryW(widen(dir.file(name)).c_str(), nullptr); }
    TempDir dir;
    Win32Files files;
};

// A file that another holder keeps from reading counts as missing until it is let go.
TEST_F(FilesTest, FileSizeFindsOnlyPlainFilesItCanOpen) {
    make("empty.txt", "");
    make("three.txt", "abc");
    make("hidden.txt", "abc", FILE_ATTRIBUTE_HIDDEN);
    make("system.txt", "abc", FILE_ATTRIBUTE_SYSTEM);
    make("readonly.txt", "abcd", FILE_ATTRIBUTE_READONLY);
    make("locked.txt", "abc");
    makeDir("folder");
    HANDLE locked = CreateFileW(widen(dir.file("locked.txt")).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    const struct { std::string path; std::int64_t size; } cases[] = {
        {dir.file("empty.txt"), 0},
        {dir.file("three.txt"), 3},
        {dir.file("readonly.txt"), 4},
        {dir.file("missing.txt"), -1},
        {dir.file("folder"), -1},
        {dir.file("hidden.txt"), -1},
        {dir.file("system.txt"), -1},
        {dir.file("locked.txt"), -1},
        {dir.file("*.txt"), -1},
        {dir.file("thre?.txt"), -1},
        {dir.file("missing\\three.txt"), -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(files.fileSize(c.path), c.size);
    }
    CloseHandle(locked);
    EXPECT_EQ(files.fileSize(dir.file("locked.txt")), 3);
}

TEST_F(FilesTest, UnusualNamesWriteReadAndDelete) {
    for (const std::string name : {"Grüße äöü ß.txt", "%&^() x;'=.TMP", "PTAV-DIR (C  BILDER  ) .TMP", "€.bin"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        const std::string bytes = "Zeile 1\r\n\xE4\xF6\xFC\r\n";  // stored as given, not converted
        EXPECT_FALSE(files.exists(path));
        ASSERT_TRUE(files.writeFile(path, bytes));
        EXPECT_TRUE(files.exists(path));
        EXPECT_EQ(files.fileSize(path), static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(files.readFile(path), bytes);
        EXPECT_TRUE(files.deleteFile(path));
        EXPECT_FALSE(files.exists(path));
        EXPECT_FALSE(files.deleteFile(path));
        EXPECT_EQ(files.readFile(path), std::nullopt);
    }
    ASSERT_TRUE(files.writeFile(dir.file("a.bat"), "a much longer first content"));
    ASSERT_TRUE(files.writeFile(dir.file("a.bat"), "short"));
    EXPECT_EQ(files.readFile(dir.file("a.bat")), "short") << "a write replaces the whole file";
    EXPECT_FALSE(files.writeFile(dir.file("missing\\a.bat"), "x"));
    EXPECT_EQ(files.readFile(dir.path()), std::nullopt) << "a directory is no file";
}

TEST_F(FilesTest, LongPathsWork) {
    std::string path = dir.path();
    while (path.size() < MAX_PATH + 40) {
        path += "\\Verzeichnis mit langem Namen";
        ASSERT_TRUE(CreateDirectoryW(apiPath(path).c_str(), nullptr)) << path.size();
    }
    const std::string file = path + "\\bild.jpg";
    ASSERT_TRUE(files.writeFile(file, "12345"));
    EXPECT_TRUE(files.exists(file));
    EXPECT_EQ(files.fileSize(file), 5);
    EXPECT_EQ(files.readFile(file), "12345");
    EXPECT_EQ(files.matchingFiles(path, "*.jpg"), std::vector<std::string>{"bild.jpg"});
    EXPECT_TRUE(files.deleteFile(file));
}

TEST_F(FilesTest, ListsAreSortedWithoutRegardToCaseAndDrivesAreListed) {
    for (const char* name : {"b.jpg", "A.JPG", "c.png", "d.txt", "noext"}) make(name, "x");
    make("hidden.jpg", "x", FILE_ATTRIBUTE_HIDDEN);
    for (const char* name : {"gamma", "Alpha", "beta", "x.jpg"}) makeDir(name);
    const struct { const char* pattern; std::vector<std::string> names; } cases[] = {
        {"*.jpg", {"A.JPG", "b.jpg"}},
        {"*.*", {"A.JPG", "b.jpg", "c.png", "d.txt", "noext"}},
        {"?.png", {"c.png"}},
        {"*.gif", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(files.matchingFiles(dir.path(), c.pattern), c.names);
    }
    EXPECT_EQ(files.subdirectories(dir.path()), (std::vector<std::string>{"Alpha", "beta", "gamma", "x.jpg"}));
    EXPECT_EQ(files.subdirectories(dir.path() + "\\"), (std::vector<std::string>{"Alpha", "beta", "gamma", "x.jpg"}));
    EXPECT_EQ(files.subdirectories(dir.file("Alpha")), std::vector<std::string>{});
    EXPECT_EQ(files.subdirectories(dir.file("missing")), std::nullopt);
    EXPECT_EQ(files.matchingFiles(dir.file("missing"), "*.*"), std::nullopt);
    const auto drives = files.drives();
    EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end());
}

}  // namespace
}  // namespace pictavo::platform::win32
