#include "core/scan_text.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system.h"

namespace pictavo {
namespace {

// The fake's OEM code page is ISO-8859-1.
struct FakeOem {
    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem windows{clock};
    platform::fake::FakeSystem system{windows};
};

TEST(BatchFile, QuotesAndControlCharactersAreUnsafe) {
    struct Case { const char* text; bool safe; };
    for (const Case& c : {Case{"C:\\A & B (2)^\\*.*", true}, Case{"C:\\Ä\\*.*", true}, Case{"C:\\\"x\\*.*", false},
                          Case{"C:\\a\r\nDEL x", false}, Case{"C:\\a\tb", false}, Case{"", true}})
        EXPECT_EQ(safeInBatchLine(c.text), c.safe) << c.text;
}

TEST(BatchFile, KeepsTheOemTextAndNamesTheCharactersItLacksByVariables) {
    FakeOem oem;
    struct Case { std::string source, index, dirLine; platform::EnvironmentVariables variables; };
    const Case cases[] = {
        {"C:\\100% Bär & (1)^\\*.*", "C:\\T\\I.TMP",
         "DIR \"C:\\100%% B\xE4r & (1)^\\*.*\" /b /s /on >\"C:\\T\\I.TMP\"", {}},
        {"C:\\Фото 100%\\*.*", "C:\\T\\I.TMP", "DIR \"C:\\%PTAV_1% 100%%\\*.*\" /b /s /on >\"C:\\T\\I.TMP\"",
         {{"PTAV_1", "Фото"}}},
        {"C:\\照片\\Ä\\日本*.*", "C:\\T\\(C_照片_Ä) .TMP",
         "DIR \"C:\\%PTAV_1%\\\xC4\\%PTAV_2%*.*\" /b /s /on >\"C:\\T\\(C_%PTAV_1%_\xC4) .TMP\"",
         {{"PTAV_1", "照片"}, {"PTAV_2", "日本"}}},
    };
    for (const Case& c : cases) {
        const EncodedBatchFile file = encodeBatchFile(batchFileText(c.source, true, c.index, "C:\\B.BAT"), oem.system);
        EXPECT_EQ(file.bytes, "@ECHO OFF\r\n" + c.dirLine + "\r\nDEL \"C:\\B.BAT\" >NUL\r\n") << c.source;
        EXPECT_EQ(file.variables, c.variables) << c.source;
    }
}

TEST(PictureLine, EndingsAreRecognisedAfterUpperCaseAndTrim) {
    struct Case { const char* line; bool picture; };
    const Case cases[] = {
        {"C:\\FOTOS\\IMG_0001.JPG", true}, {"C:\\a.jpeg", true},  {"C:\\a.Gif   ", true},   {"  x.PNG", true},
        {"C:\\a.bmp", true},               {"C:\\ALBUM.JPG", true}, {"C:\\a.JPE", false},    {"C:\\a.TIF", false},
        {"C:\\a.BMPX", false},             {"C:\\FOTOS", false},    {"", false},             {"   ", false},
        {".JPG", true},                    {"a.jpg\t", false},      {"C:\\Bär.JpEg", true},  {"JPG", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isPictureLine(c.line), c.picture) << '"' << c.line << '"';
}

TEST(IndexLines, ReadsUnicodeAndEightBitListings) {
    FakeOem oem;
    struct Case { std::string bytes; std::vector<std::string> lines; };
    const std::string utf16{"A\0\xE4\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0", 16};
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"B\xE4r.jpg\r\n", {"Bär.jpg"}},
        {utf16, {"Aä", "😀"}},
        {"\xFF\xFE" + utf16, {"Aä", "😀"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines;
        forEachIndexLine(c.bytes, oem.system, [&](std::string_view line) { return lines.emplace_back(line), true; });
        EXPECT_EQ(lines, c.lines);
    }
}

}  // namespace
}  // namespace pictavo
