#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pictavo {
namespace {

struct WordCase { std::string args; int n; std::string expected; };

TEST(CmdArg, SplitsAtBlanksOutsideQuotes) {
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(CmdArg(c.args, c.n), c.expected) << "args [" << c.args << "] n " << c.n;
}

TEST(CmdArg, HasNoLimitOnTheNumberOfWords) {
    std::string args = "w1";
    for (int i = 2; i <= 150; ++i) args += " w" + std::to_string(i);
    const std::string blanks(300, ' ');
    const std::vector<WordCase> cases = {
        {args, 100, "w100"}, {args, 101, "w101"}, {args, 150, "w150"}, {args, 151, ""},
        {blanks + "x", 301, "x"}, {blanks + "x", 300, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CmdArg(c.args, c.n), c.expected) << "n " << c.n;
}

}  // namespace
}  // namespace pictavo
