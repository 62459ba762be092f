#include "index/scan.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system.h"

namespace pictavo {
namespace {

TEST(BatchFile, QuotesAndControlCharactersAreUnsafe) {
    struct Case { const char* text; bool safe; };
    for (const Case& c : {Case{"C:\\A & B (2)^\\*.*", true}, Case{"C:\\Ä\\*.*", true}, Case{"C:\\\"x\\*.*", false},
                          Case{"C:\\a\r\nDEL x", false}, Case{"C:\\a\tb", false}, Case{"", true}})
        EXPECT_EQ(safeInBatchLine(c.text), c.safe) << c.text;
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
    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem windows(clock);
    platform::fake::FakeSystem system(windows);
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
        forEachIndexLine(c.bytes, system, [&](std::string_view line) { return lines.emplace_back(line), true; });
        EXPECT_EQ(lines, c.lines);
    }
}

}  // namespace
}  // namespace pictavo
