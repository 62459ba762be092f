#include "core/settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_settings.h"

namespace pictavo {
namespace {

using platform::fake::FakeSettings;

double field(const Settings& s, const std::string& key) {
    if (key == "WinTop") return s.winTop;
    if (key == "WinLeft") return s.winLeft;
    if (key == "SubScan") return s.subScan;
    if (key == "DisplayName") return s.displayName;
    if (key == "Loop") return s.loop;
    if (key == "SaveIndex") return s.saveIndex;
    if (key == "Transparence") return s.transparence;
    if (key == "Shadow") return s.shadow;
    if (key == "Continue") return s.continuePos;
    return s.wait;
}

TEST(ReadSettings, ConvertsStoredTextsAndRepairsBadOnes) {
    struct Case { std::string key, text; double expected; };
    const std::string nines(400, '9');
    const std::vector<Case> cases = {
        {"WinTop", "abc", 480}, {"WinTop", "", 480}, {"WinTop", " 1200 ", 1200}, {"WinTop", "-12.5", -12.5},
        {"WinTop", "+7", 7}, {"WinTop", "1.5e3", 1500}, {"WinTop", "12abc", 480}, {"WinTop", "1 2", 480},
        {"WinTop", "1,5", 480}, {"WinTop", "inf", 480}, {"WinTop", "nan", 480}, {"WinTop", "1e999", 480},
        {"WinLeft", "0x10", 480}, {"WinLeft", "960", 960},
        {"SubScan", "7", 1}, {"SubScan", "2", 2}, {"SubScan", " 0 ", 0}, {"SubScan", "0.5", 0},
        {"SubScan", "1.5", 2}, {"SubScan", "2.5", 2}, {"SubScan", "-1", 1}, {"SubScan", "x", 1},
        {"SubScan", "1x", 1}, {"DisplayName", "3", 1}, {"Loop", "x", 0}, {"Loop", "1", 1},
        {"Loop", "1e300", 0}, {"SaveIndex", "0", 0},
        {"Transparence", "50%", 50}, {"Transparence", "x", 0}, {"Shadow", "", 0}, {"Shadow", "-2", -2},
        {"Continue", "-3", 0}, {"Continue", "17abc", 17}, {"Continue", "abc", 0}, {"Continue", "2.5", 2},
        {"Continue", "3.5", 4}, {"Continue", " 4 2", 42}, {"Continue", "1e400", 1},
        {"Continue", "99999999999", INT_MAX}, {"Continue", nines, INT_MAX}, {"Continue", "-" + nines, 0},
        {"Wait", "99", 60}, {"Wait", "-5", 0}, {"Wait", "x", 3}, {"Wait", "", 3}, {"Wait", "5s", 3},
        {"Wait", " 12 ", 12}, {"Wait", "7.5", 8}, {"Wait", "6.5", 6}, {"Wait", "-1e300", 0},
    };
    for (const auto& c : cases) {
        FakeSettings settings;
        settings.values["Corvane\\Pictavo\\" + c.key] = c.text;
        EXPECT_EQ(field(readSettings(settings, {}), c.key), c.expected) << c.key << " = [" << c.text << "]";
    }
    FakeSettings empty;
    readSettings(empty, [](const std::string& line) { ADD_FAILURE() << "the defaults traced " << line; });
}

TEST(ReadSettings, TrimsTheSourceButNotTheContinueDirectory) {
    FakeSettings settings;
    settings.values["Corvane\\Pictavo\\SourceFile"] = "  D:\\Meine Bilder\\*.jpg ";
    settings.values["Corvane\\Pictavo\\ContinueDir"] = " D:\\X\\*.* ";
    const Settings s = readSettings(settings, {});
    EXPECT_EQ(s.sourceFile, "D:\\Meine Bilder\\*.jpg");
    EXPECT_EQ(s.continueDir, " D:\\X\\*.* ");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"", 0},       {"abc", 0},   {"12", 12},   {"1 2.5", 12.5}, {"3,7", 3},        {"-4.5", -4.5},
        {"+4", 4},     {" \t7", 7},  {"1.2.3", 1.2}, {".5", 0.5},   {"-", 0},          {"--5", 0},
        {"5-3", 5},    {"1e3", 1},   {"- 5", -5},  {"0x1F", 0},     {"-.25", -0.25},
        {std::string(400, '9'), DBL_MAX}, {"0." + std::string(400, '0') + "1", 0},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(leadingNumber(text), expected) << "[" << text << "]";
    EXPECT_FALSE(std::signbit(leadingNumber("-0")));
}

TEST(NumberText, PlainDecimalThatLeadingNumberReadsBack) {
    const std::vector<std::pair<double, std::string>> cases = {
        {480, "480"}, {12.5, "12.5"}, {-3, "-3"}, {0, "0"}, {-0.0, "0"}, {0.1, "0.1"},
        {2147483647, "2147483647"}, {1e20, "100000000000000000000"}, {1e-7, "0.0000001"}, {std::nan(""), "0"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(numberText(value), expected) << value;
        if (!std::isnan(value)) {
            EXPECT_EQ(leadingNumber(numberText(value)), value) << value;
        }
    }
}

TEST(WriteSettings, OnlyInteractiveRunsWriteSourceAndContinueAndNoFailureStopsTheRest) {
    const Settings s{1234.5, -60, "D:\\B\\*.jpg", 0, 2, 1, 0, 128, 0, "D:\\C\\*.*", 17, 60};
    const std::vector<std::pair<std::string, std::string>> all = {
        {"WinTop", "1234.5"}, {"WinLeft", "-60"}, {"SubScan", "0"}, {"DisplayName", "2"},
        {"SaveIndex", "0"}, {"Loop", "1"}, {"Transparence", "128"}, {"Shadow", "0"},
        {"ContinueDir", "D:\\C\\*.*"}, {"Continue", "17"}, {"SourceFile", "D:\\B\\*.jpg"}, {"Wait", "60"},
    };
    for (const bool interactive : {true, false}) {
        std::map<std::string, std::string> values;
        std::vector<std::string> lines;
        for (const auto& [key, value] : all)
            if (interactive || (key != "ContinueDir" && key != "Continue" && key != "SourceFile")) {
                values["Corvane\\Pictavo\\" + key] = value;
                lines.push_back("setting " + key + " not written");
            }
        FakeSettings store, refusing;
        refusing.readOnly = true;
        std::vector<std::string> traced;
        writeSettings(store, s, interactive, {});
        writeSettings(refusing, s, interactive, [&traced](const std::string& line) { traced.push_back(line); });
        EXPECT_EQ(store.values, values) << "interactive " << interactive;
        EXPECT_EQ(traced, lines) << "interactive " << interactive;
    }
}

}  // namespace
}  // namespace pictavo
