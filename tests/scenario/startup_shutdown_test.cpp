#include <gtest/gtest.h>

#include "scenario.h"

namespace pictavo::testing {
namespace {

constexpr int kEsc = 27;
constexpr int kDelete = 46;
const char* const kIndexOfDefaultSource = "C:\\TEMP\\PTAV-DIR (C) .TMP";

using StartUp = Scenario;

TEST_F(StartUp, FirstRunShowsDefaultsAndEscWritesThemBack) {
    fake.windows.call([&] {
        EXPECT_EQ(main().form.caption(), "Pictavo - V1.13a - 06.11.2004");
        EXPECT_TRUE(window("Form1")->shown());
        EXPECT_EQ(main().TQD.text(), "C:\\*.*");
        EXPECT_EQ(main().CkSub.value(), 1);
        EXPECT_EQ(main().CkDisp.value(), 1);
        EXPECT_EQ(main().CkLoop.value(), 0);
        EXPECT_EQ(main().CkIndex.value(), 1);
        EXPECT_EQ(main().CkCont.value(), 0);
        EXPECT_EQ(main().HS1.value(), 3);
        EXPECT_EQ(main().Lsek.text(), " 3 s");
        EXPECT_EQ(main().Lpic.text(), "0 / 0");
        EXPECT_FALSE(main().LKill.visible());
        EXPECT_EQ(main().form.left(), 480);
        EXPECT_EQ(main().form.top(), 480);
        EXPECT_EQ(main().IndexFile, kIndexOfDefaultSource);
        EXPECT_EQ(main().BatchFile, "C:\\PTAV-DIR.BAT");
        EXPECT_EQ(window("Form1")->focus(), window("Form1")->indexOf("Cstart"));
        EXPECT_TRUE(window("Form1")->shadow);
        EXPECT_FALSE(window("Form1")->layered);
    });
    fake.windows.key(kEsc);
    run();
    EXPECT_FALSE(main().form.loaded());
    EXPECT_TRUE(fake.windows.quitting());
    const std::map<std::string, std::string> expected{
        {"WinTop", "480"},     {"WinLeft", "480"}, {"SourceFile", "C:\\*.*"}, {"SubScan", "1"},
        {"DisplayName", "1"},  {"Loop", "0"},      {"SaveIndex", "1"},        {"Transparence", "0"},
        {"Shadow", "1"},       {"ContinueDir", ""}, {"Continue", "0"},        {"Wait", "3"}};
    for (const auto& [key, value] : expected) EXPECT_EQ(stored(key), value) << key;
    EXPECT_EQ(fake.settings.values.size(), expected.size());
}

TEST_F(StartUp, SecondInstanceBeepsAndEndsWithoutTouchingAnything) {
    fake.system.otherInstance = true;
    store("Wait", "7");
    run();
    EXPECT_EQ(fake.system.beeps, 1);
    EXPECT_EQ(fake.settings.writes, 0);
    EXPECT_FALSE(window("Form1") && window("Form1")->shown());
    EXPECT_TRUE(fake.windows.quitting());
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(fake.windows.messages.empty());
}

TEST_F(StartUp, AMainWindowThatCannotBeOpenedIsReportedNotAnEmptyExit) {
    fake.windows.refused.insert("Form1");
    run();
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(fake.windows.messages.size(), 1u);
    EXPECT_EQ(fake.windows.messages[0].second, "FEHLER:");
    EXPECT_EQ(fake.settings.writes, 0);
}

struct ContinueCase {
    const char* name;
    const char* continueText;
    const char* continueDir;
    const char* expectedLpic;
    int expectedCkCont;
    friend void PrintTo(const ContinueCase& c, std::ostream* out) { *out << c.name; }
};

class StoredContinue : public Scenario, public ::testing::WithParamInterface<ContinueCase> {};

TEST_P(StoredContinue, PrechecksContinueAndShowsThePosition) {
    const ContinueCase& c = GetParam();
    store("SourceFile", "C:\\FOTOS\\*.*");
    store("Continue", c.continueText);
    store("ContinueDir", c.continueDir);
    run();
    EXPECT_EQ(main().Lpic.text(), c.expectedLpic);
    EXPECT_EQ(main().CkCont.value(), c.expectedCkCont);
}

INSTANTIATE_TEST_SUITE_P(Cases, StoredContinue,
                         ::testing::Values(ContinueCase{"SameSource", "17", "C:\\FOTOS\\*.*", "17 / 0", 1},
                                           ContinueCase{"OtherCase", "17", "C:\\fotos\\*.*", "1 / 0", 1},
                                           ContinueCase{"NoSource", "17", "", "1 / 0", 1},
                                           ContinueCase{"Zero", "0", "C:\\FOTOS\\*.*", "0 / 0", 0},
                                           ContinueCase{"Negative", "-4", "C:\\FOTOS\\*.*", "0 / 0", 0},
                                           ContinueCase{"NotANumber", "abc", "C:\\FOTOS\\*.*", "0 / 0", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartUp, BadStoredValuesNeverBreakStartUp) {
    store("WinTop", "oben");
    store("WinLeft", "1e40");
    store("SubScan", "7");
    store("DisplayName", "2");
    store("Wait", "99");
    store("Transparence", "300");
    run();
    EXPECT_EQ(main().form.top(), 480);
    EXPECT_EQ(main().form.left(), 480);
    EXPECT_EQ(main().CkSub.value(), 1);
    EXPECT_EQ(main().CkDisp.value(), 2);
    EXPECT_EQ(main().HS1.value(), 60);
    EXPECT_EQ(main().Lsek.text(), " 60 s");
    EXPECT_EQ(window("Form1")->opacity, 0);
}

TEST_F(StartUp, WindowStoredOutsideEveryMonitorOpensAtTheDefaultPlace) {
    store("WinTop", "-90000");
    store("WinLeft", "200000");
    run();
    EXPECT_EQ(main().form.top(), 480);
    EXPECT_EQ(main().form.left(), 480);
}

TEST_F(StartUp, StoredPositionOnTheScreenIsKept) {
    store("WinTop", "1200");
    store("WinLeft", "2400");
    run();
    EXPECT_EQ(main().form.top(), 1200);
    EXPECT_EQ(main().form.left(), 2400);
}

TEST_F(StartUp, TransparenceMakesTheMainWindowLayered) {
    store("Transparence", "55");
    store("Shadow", "0");
    run();
    EXPECT_TRUE(window("Form1")->layered);
    EXPECT_EQ(window("Form1")->opacity, 200);
    EXPECT_FALSE(window("Form1")->shadow);
}

TEST_F(StartUp, CommandLineSourceLeavesTheStoredSourceAndPositionAlone) {
    store("SourceFile", "C:\\FOTOS\\*.*");
    store("ContinueDir", "C:\\FOTOS\\*.*");
    store("Continue", "12");
    fake.system.args = "\"D:\\Meine Bilder\\*.jpg\"";
    fake.windows.call([&] {
        EXPECT_EQ(main().TQD.text(), "D:\\Meine Bilder\\*.jpg");
        EXPECT_EQ(main().Lpic.text(), "0 / 0");
        EXPECT_EQ(main().StartMode, 1);
        EXPECT_TRUE(window("Form1")->shown());
    });
    fake.windows.key(kEsc);
    run();
    EXPECT_EQ(stored("SourceFile"), "C:\\FOTOS\\*.*");
    EXPECT_EQ(stored("ContinueDir"), "C:\\FOTOS\\*.*");
    EXPECT_EQ(stored("Continue"), "12");
    EXPECT_EQ(stored("Wait"), "3");
}

TEST_F(StartUp, TwoBlanksBeforeTheSwitchLeaveWordTwoEmpty) {
    fake.system.args = "C:\\X\\*.*  /s";
    run();
    EXPECT_EQ(main().StartMode, 1);
    EXPECT_TRUE(window("Form1")->shown());
}

using Shutdown = Scenario;

TEST_F(Shutdown, ContinueCheckedWithoutPositionStoresOne) {
    fake.windows.click("Form1", "CkCont").click("Form1", "CEnd");
    run();
    EXPECT_EQ(stored("Continue"), "1");
    EXPECT_EQ(stored("ContinueDir"), "C:\\*.*");
}

TEST_F(Shutdown, ContinueUncheckedForgetsThePosition) {
    store("Continue", "9");
    store("ContinueDir", "C:\\*.*");
    fake.windows.click("Form1", "CkCont").key(kEsc);
    run();
    EXPECT_EQ(stored("Continue"), "0");
    EXPECT_EQ(stored("ContinueDir"), "");
}

TEST_F(Shutdown, KeepIndexOffDeletesTheIndexAndOnKeepsIt) {
    for (int keep : {0, 1}) {
        platform::fake::FakePlatform local;
        local.settings.values["Corvane\\Pictavo\\SaveIndex"] = std::to_string(keep);
        const auto index = local.files.host(kIndexOfDefaultSource);
        std::ofstream(index) << "C:\\A.JPG\r\n";
        local.windows.key(kEsc);
        App program(local.platform());
        program.run();
        EXPECT_EQ(std::filesystem::exists(index), keep == 1) << "SaveIndex " << keep;
    }
}

TEST_F(Shutdown, KeepIndexOffWithoutIndexFileIsNoError) {
    store("SaveIndex", "0");
    fake.windows.key(kEsc);
    run();
    EXPECT_EQ(stored("SaveIndex"), "0");
}

using MainWindow = Scenario;

TEST_F(MainWindow, DeleteKeyInTheSourceBoxDeletesTheIndex) {
    store("SourceFile", "C:\\FOTOS\\*.*");
    store("Continue", "5");
    store("ContinueDir", "C:\\FOTOS\\*.*");
    makeFile("C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP", "C:\\FOTOS\\A.JPG\r\n");
    fake.windows.call([&] { EXPECT_TRUE(main().LKill.visible()); })
        .focus("Form1", "TQD")
        .key(kDelete)
        .call([&] {
            EXPECT_FALSE(fileExists("C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP"));
            EXPECT_FALSE(main().LKill.visible());
            EXPECT_EQ(main().Lpic.text(), "0 / 0");
            EXPECT_EQ(main().ContinuePos, 0);
        });
    run();
}

TEST_F(MainWindow, TypingInTheSourceForgetsTheListAndNamesTheIndexAnew) {
    makeFile("C:\\TEMP\\PTAV-DIR (D_Urlaub) .TMP", "D:\\Urlaub\\A.JPG\r\n");
    makeFile("C:\\TEMP\\PTAV-DIR (D_Leer) .TMP", "");
    store("Continue", "4");
    store("ContinueDir", "C:\\*.*");
    fake.windows.type("Form1", "TQD", "D:\\Urlaub\\*.*")
        .call([&] {
            EXPECT_EQ(main().Lpic.text(), "0 / 0");
            EXPECT_EQ(main().ContinuePos, 0);
            EXPECT_EQ(main().IndexFile, "C:\\TEMP\\PTAV-DIR (D_Urlaub) .TMP");
            EXPECT_TRUE(main().LKill.visible());
        })
        .type("Form1", "TQD", "D:\\Leer\\*.*")
        .call([&] { EXPECT_FALSE(main().LKill.visible()) << "an empty index is not offered for deletion"; });
    run();
}

TEST_F(MainWindow, ClickOnLoeschenDeletesTheIndex) {
    makeFile(kIndexOfDefaultSource, "x");
    fake.windows.type("Form1", "TQD", "C:\\*.*x").type("Form1", "TQD", "C:\\*.*").click("Form1", "LKill");
    run();
    EXPECT_FALSE(fileExists(kIndexOfDefaultSource));
    EXPECT_FALSE(main().LKill.visible());
}

TEST_F(MainWindow, DisplayTimeLabelFollowsTheScrollBar) {
    fake.windows.scroll("Form1", "HS1", 0)
        .call([&] { EXPECT_EQ(main().Lsek.text(), " 0 s"); })
        .scroll("Form1", "HS1", 60)
        .call([&] { EXPECT_EQ(main().Lsek.text(), " 60 s"); });
    run();
}

TEST_F(MainWindow, SubdirectoryOptionForcesANewScanEvenWhenSetBack) {
    fake.windows.call([&] { main().list.CachedCount = 12; })
        .click("Form1", "CkSub")
        .call([&] {
            EXPECT_EQ(main().list.CachedCount, 0);
            main().list.CachedCount = 12;
        })
        .click("Form1", "CkSub")
        .call([&] { EXPECT_EQ(main().list.CachedCount, 0); });
    run();
}

TEST_F(MainWindow, FocusOnTheSourceSelectsAllOfIt) {
    fake.windows.focus("Form1", "TQD").call([&] {
        const auto& box = window("Form1")->control("TQD");
        EXPECT_EQ(box.selStart, 0);
        EXPECT_EQ(box.selLength, -1);
    });
    run();
}

}  // namespace
}  // namespace pictavo::testing
