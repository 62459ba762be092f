// Processes, environment, code page conversions and the clock.

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_system.h"

namespace pictavo::platform::win32 {
namespace {

TEST(CommandLine, ArgumentsFollowTheProgramNameAndItsBlanks) {
    const struct { const wchar_t* line; const wchar_t* arguments; } cases[] = {
        {L"pictavo.exe C:\\Bilder\\*.jpg /s", L"C:\\Bilder\\*.jpg /s"},
        {L"\"C:\\Program Files\\Pictavo\\pictavo.exe\"   C:\\*.*  !", L"C:\\*.*  !"},
        {L"\"C:\\a b\\pictavo.exe\"x y", L"x y"},
        {L"pictavo.exe\t\t\"D:\\mit Blank\\*.*\"", L"\"D:\\mit Blank\\*.*\""},
        {L"pictavo.exe", L""},
        {L"pictavo.exe   ", L""},
        {L"\"unclosed name", L""},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(argumentsOf(c.line), c.arguments) << c.line;
}

TEST(Environment, ReadsVariablesAsUtf8) {
    Win32System system;
    const std::wstring longValue(1000, L'x');
    SetEnvironmentVariableW(L"PICTAVO_TEST_SHORT", L"C:\\Temp\\Grüße");
    SetEnvironmentVariableW(L"PICTAVO_TEST_LONG", longValue.c_str());
    SetEnvironmentVariableW(L"PICTAVO_TEST_MISSING", nullptr);
    EXPECT_EQ(system.environment("PICTAVO_TEST_SHORT"), "C:\\Temp\\Grüße");
    EXPECT_EQ(system.environment("PICTAVO_TEST_LONG"), std::string(1000, 'x'));
    EXPECT_EQ(system.environment("PICTAVO_TEST_MISSING"), "");
    EXPECT_FALSE(system.environment("COMSPEC").empty());
}

TEST(StartHidden, AProgramThatDoesNotExistGivesNothing) {
    Win32System system;
    EXPECT_EQ(system.startHidden("C:\\nowhere\\no-such-program-4711.exe", {}), nullptr);
}

TEST(CodePage, ConvertsThroughTheOemCodePageOfBatchFiles) {
    Win32System system;
    EXPECT_EQ(system.oemToUtf8("C:\\*.* 123"), "C:\\*.* 123");
    EXPECT_EQ(system.utf8ToOem("C:\\*.* 123"), "C:\\*.* 123");
    EXPECT_EQ(system.utf8ToOem(""), "");
    EXPECT_EQ(system.utf8ToOem("\xE3\x81\x82"), std::nullopt);  // a Japanese letter: in no Western code page
    if (GetOEMCP() != 437 && GetOEMCP() != 850) GTEST_SKIP() << "OEM code page " << GetOEMCP();
    EXPECT_EQ(system.oemToUtf8("Gr\x81\xE1" "e"), "Grüße");
    EXPECT_EQ(system.utf8ToOem("Grüße"), "Gr\x81\xE1" "e");
}

TEST(Clock, TimeOfDayIsHoursMinutesSeconds) {
    Win32Clock clock;
    const std::string text = clock.timeOfDay();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(text, match, std::regex(R"((\d\d):(\d\d):(\d\d))"))) << text;
    EXPECT_LT(std::stoi(match[1]), 24);
    EXPECT_LT(std::stoi(match[2]), 60);
    EXPECT_LT(std::stoi(match[3]), 60);
}

}  // namespace
}  // namespace pictavo::platform::win32
