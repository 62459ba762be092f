#include "core/index_file_name.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace pictavo {
namespace {

std::size_t utf16Units(const std::string& utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) != 0x80) units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

std::string fileComponent(const std::string& name) { return name.substr(name.find_last_of('\\') + 1); }

struct NameCase { std::string source, tmp, temp, expected; };

TEST(IndexFileName, KeyInTheTemporaryDirectory) {
    const std::vector<NameCase> cases = {
        {"C:\\FOTOS\\*.*", "C:\\TEMP", "", "C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP"},
        {"D:\\Bilder 2004\\Urlaub\\*.*", "C:\\TEMP", "", "C:\\TEMP\\PTAV-DIR (D_Bilder 2004_Urlaub) .TMP"},
        {"", "C:\\TEMP", "", "C:\\TEMP\\PTAV-DIR () .TMP"},
        {"C:\\FOTOS\\*.*", "C:\\TEMP\\", "", "C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP"},
        {"C:\\FOTOS\\*.*", "C:\\TEMP", "E:\\OTHER", "C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP"},
        {"C:\\FOTOS\\*.*", "", "D:\\T", "D:\\T\\PTAV-DIR (C_FOTOS) .TMP"},
        {"C:\\FOTOS\\*.*", "", "", "C:\\PTAV-DIR (C_FOTOS) .TMP"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(indexFileName(c.source, c.tmp, c.temp), c.expected) << c.source << " / " << c.tmp << " / " << c.temp;
}

TEST(IndexKey, ReplacesWhatAFileNameMayNotHoldAndDropsTheLastCharacter) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"C:\\*.*", "C"}, {"C:\\FOTOS\\*.JPG", "C_FOTOS_JP"}, {"c:\\fotos\\*.*", "c_fotos"}, {"X", "X"},
        {"*.*", ""}, {"\\\\", "_"},
        {"C:\\a<b>c|d\"e/f\\*.*", "C_a_b_c_d_e_f"},
        {"C:\\a\tb\x01" "c\x1F" "d\\*.*", "C_a_b_c_d"},
        {"C:\\[x] #1+2=3;'~\\*.*", "C_[x] #1+2=3;'~"},
        {"C:\\Bilder\\\xC3\x9C" "ber*.*", "C_Bilder_\xC3\x9C" "be"},
        {"\xC3\x9C", "\xC3\x9C"},                      // one character of two bytes stays whole
        {"C:\\\xC3\x9C", "C_"},                        // the last character goes, not its last byte
        {"AB\xE2\x82\xAC", "AB"},                      // euro sign, three bytes
        {"A\xF0\x9F\x98\x80", "A"},                    // four bytes
        {"AB\x80", "AB"},                              // a stray byte counts as one character
    };
    for (const auto& [source, expected] : cases) EXPECT_EQ(indexKey(source), expected) << source;
}

TEST(IndexFileName, LongNamesAreShortenedToFitAndStayDistinct) {
    const std::string tmp = "C:\\TEMP";
    const std::string head = "C:\\TEMP\\PTAV-DIR (";  // 18 units, ") .TMP" adds 6
    // 235 key characters fill 259 exactly; one more must be shortened.
    const std::string fits = indexFileName(std::string(236, 'A'), tmp, "");
    EXPECT_EQ(fits, head + std::string(235, 'A') + ") .TMP");
    const std::string over = indexFileName(std::string(237, 'A'), tmp, "");
    EXPECT_EQ(over.size(), 259u);
    EXPECT_EQ(over.rfind(head + std::string(226, 'A') + "~", 0), 0u) << over;
    // With "C:\\" as the directory, 259 units would leave 256 for the file name, one too many.
    const std::string root = indexFileName(std::string(241, 'A'), "", "");
    EXPECT_LE(utf16Units(fileComponent(root)), 255u);
    EXPECT_NE(root.find('~'), std::string::npos);
    EXPECT_EQ(indexFileName(std::string(240, 'A'), "", ""), "C:\\PTAV-DIR (" + std::string(239, 'A') + ") .TMP");
    // Lengths count UTF-16 units: 200 umlauts (400 bytes) fit; 200 characters
    // beyond the BMP count twice and are cut between characters.
    std::string umlauts, faces;
    for (int i = 0; i < 200; ++i) umlauts += "\xC3\x9C", faces += "\xF0\x9F\x98\x80";
    EXPECT_EQ(indexFileName(umlauts, tmp, ""), head + umlauts.substr(0, 398) + ") .TMP");
    const std::string shortened = indexFileName(faces, tmp, "");
    const std::size_t kept = shortened.find('~') - head.size();
    EXPECT_LE(utf16Units(shortened), 259u);
    EXPECT_TRUE(kept % 4 == 0 && kept > 400) << shortened;

    const std::string base = "D:\\" + std::string(400, 'x') + "\\";
    const std::vector<std::string> sources = {base + "a\\*.*", base + "b\\*.*", base + "a\\*.JPG",
                                              base + "A\\*.*"};
    std::vector<std::string> names;
    for (const auto& source : sources) {
        const std::string name = indexFileName(source, tmp, "");
        EXPECT_LE(utf16Units(name), 259u) << name;
        EXPECT_EQ(name.rfind(head + "D_xxx", 0), 0u) << name;
        EXPECT_EQ(name.substr(name.size() - 6), ") .TMP");
        EXPECT_EQ(name, indexFileName(source, tmp, "")) << "not stable";
        for (const auto& earlier : names) EXPECT_NE(name, earlier);
        names.push_back(name);
    }
}

}  // namespace
}  // namespace pictavo
