#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictavo {
namespace {

struct WordCase { std::string args; int n; std::string expected; };

// There is no limit on the number of words.
TEST(CmdArg, SplitsAtBlanksOutsideQuotes) {
    std::string many = "w1";
    for (int i = 2; i <= 150; ++i) many += " w" + std::to_string(i);
    const std::string blanks(300, ' ');
    const std::vector<WordCase> cases = {
        {R"(D:\Bilder\*.jpg /s)", 1, R"(D:\Bilder\*.jpg)"}, {R"(D:\Bilder\*.jpg /s)", 2, "/s"},
        {R"(D:\Bilder\*.jpg /s)", 3, ""},
        {R"("D:\Meine Bilder\*.jpg" !)", 1, R"(D:\Meine Bilder\*.jpg)"}, {R"("D:\Meine Bilder\*.jpg" !)", 2, "!"},
        {R"(ab"c d"e f)", 1, "abc de"}, {R"(ab"c d"e f)", 2, "f"}, {R"("" x)", 1, ""}, {R"("" x)", 2, "x"},
        // An unclosed quote runs to the end of the text.
        {R"("D:\A B !)", 1, R"(D:\A B !)"}, {R"("D:\A B !)", 2, ""}, {R"(a "b c)", 2, "b c"},
        // Two blanks leave an empty word, a leading blank empties word 1.
        {"a  /s", 2, ""}, {"a  /s", 3, "/s"}, {" a", 1, ""}, {" a", 2, "a"}, {"a ", 2, ""},
        {"", 1, ""}, {"a\tb c", 1, "a\tb"}, {"a b", 0, ""}, {"a b", -1, ""}, {"a b", 1000, ""},
        {many, 101, "w101"}, {many, 150, "w150"}, {many, 151, ""}, {blanks + "x", 301, "x"}, {blanks + "x", 300, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CmdArg(c.args, c.n), c.expected) << "args [" << c.args.substr(0, 40) << "] n " << c.n;
}

}  // namespace
}  // namespace pictavo
