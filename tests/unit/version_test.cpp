#include "core/version.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace pictavo {
namespace {

TEST(VerStr, JoinsMajorTwoDigitMinorAndWindows1252RevisionLetter) {
    struct Case {
        int major, minor, revision;
        std::string expected;  // UTF-8
    };
    const std::vector<Case> cases = {
        {1, 13, 1, "1.13a"},           {2, 5, 0, "2.05"},          {2, 5, 2, "2.05b"},
        {1, 123, 0, "1.23"},           {10, 7, 26, "10.07z"},      {1, 13, 9999, "1.13\xC3\x9F"},
        {1, 13, 32, "1.13\xE2\x82\xAC"},  // 128: euro sign, not U+0080
        {1, 13, 132, "1.13\xC3\xA4"},     // 228: a umlaut
        {1, 13, 159, "1.13\xC3\xBF"},     // 255, the last letter there is
        {1, 13, 160, "1.13"},          {1, 13, INT_MAX, "1.13"},   {1, 13, -1, "1.13"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VerStr(c.major, c.minor, c.revision), c.expected) << c.major << " " << c.minor << " " << c.revision;
    EXPECT_EQ(VerStr(), "1.13a");
}

}  // namespace
}  // namespace pictavo
