#include "shell/settings.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_settings.h"

namespace pictavo {
namespace {

using platform::fake::FakeSettings;

// Records every write in order and refuses them all, so that no write may stop the others.
class RefusingStore final : public platform::SettingsStore {
public:
    std::string read(const std::string&, const std::string&, const std::string&,
                     const std::string& fallback) override {
        return fallback;
    }
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        writes.emplace_back(app + "\\" + section + "\\" + key, value);
        return false;
    }
    std::vector<std::pair<std::string, std::string>> writes;
};

TEST(ReadSettings, EmptyStoreGivesTheDefaults) {
    FakeSettings empty;
    const Settings s = readSettings(empty, {});
    EXPECT_EQ(s.winTop, 480);
    EXPECT_EQ(s.winLeft, 480);
    EXPECT_EQ(s.sourceFile, "C:\\*.*");
    EXPECT_EQ(s.subScan, 1);
    EXPECT_EQ(s.displayName, 1);
    EXPECT_EQ(s.loop, 0);
    EXPECT_EQ(s.saveIndex, 1);
    EXPECT_EQ(s.transparence, 0);
    EXPECT_EQ(s.shadow, 1);
    EXPECT_EQ(s.continueDir, "");
    EXPECT_EQ(s.continuePos, 0);
    EXPECT_EQ(s.wait, 3);
}

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
    struct Case {
        std::string key, text;
        double expected;
    };
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

TEST(WriteSettings, ShutdownOrderAndOnlyInteractiveRunsTouchSourceAndContinue) {
    Settings s;
    s.winTop = 1234.5;
    s.winLeft = -60;
    s.sourceFile = "D:\\B\\*.jpg";
    s.subScan = 0;
    s.displayName = 2;
    s.loop = 1;
    s.saveIndex = 0;
    s.transparence = 128;
    s.shadow = 0;
    s.continueDir = "D:\\C\\*.*";
    s.continuePos = 17;
    s.wait = 60;
    const std::vector<std::pair<std::string, std::string>> all = {
        {"WinTop", "1234.5"}, {"WinLeft", "-60"}, {"SubScan", "0"}, {"DisplayName", "2"},
        {"SaveIndex", "0"}, {"Loop", "1"}, {"Transparence", "128"}, {"Shadow", "0"},
        {"ContinueDir", "D:\\C\\*.*"}, {"Continue", "17"}, {"SourceFile", "D:\\B\\*.jpg"}, {"Wait", "60"},
    };
    for (const bool interactive : {true, false}) {
        std::vector<std::pair<std::string, std::string>> expected;
        for (const auto& [key, value] : all)
            if (interactive || (key != "ContinueDir" && key != "Continue" && key != "SourceFile"))
                expected.emplace_back("Corvane\\Pictavo\\" + key, value);
        RefusingStore store;
        writeSettings(store, s, interactive, {});
        EXPECT_EQ(store.writes, expected) << "interactive " << interactive;
    }
}

}  // namespace
}  // namespace pictavo
