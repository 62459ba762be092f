#include <gtest/gtest.h>

#include "scenario.h"

namespace pictavo::testing {
namespace {

const char* const kIndexOfDefaultSource = "C:\\TEMP\\PTAV-DIR (C) .TMP";

using StartUp = Scenario;

TEST_F(StartUp, FirstRunShowsTheDefaultsAndEscWritesThemBack) {
    fake.windows.call([&] {
        EXPECT_EQ(main().window.caption(), "Pictavo - V1.13a - 06.11.2004");
        EXPECT_TRUE(window("Form1")->shown());
        EXPECT_EQ(main().TQD.text(), "C:\\*.*");
        EXPECT_EQ((std::vector{main().CkSub.value(), main().CkDisp.value(), main().CkLoop.value(),
                               main().CkIndex.value(), main().CkCont.value(), main().HS1.value()}),
                  (std::vector{1, 1, 0, 1, 0, 3}));
        EXPECT_EQ(main().window["Lsek"].text(), " 3 s");
        EXPECT_EQ(main().Lpic.text(), "0 / 0");
        EXPECT_FALSE(main().LKill.visible());
        EXPECT_EQ(main().window.left(), 480);
        EXPECT_EQ(main().window.top(), 480);
        EXPECT_EQ(state().IndexFile, kIndexOfDefaultSource);
        EXPECT_EQ(state().BatchFile, "C:\\PTAV-DIR.BAT");
        EXPECT_EQ(window("Form1")->focus(), window("Form1")->indexOf("Cstart"));
        EXPECT_TRUE(window("Form1")->shadow);
        EXPECT_FALSE(window("Form1")->layered);
    });
    fake.windows.key(kEscape);
    run();
    EXPECT_FALSE(main().window.loaded());
    EXPECT_TRUE(fake.windows.quitting());
    EXPECT_EQ(fake.settings.values.size(), 12u) << "every setting written back";
    EXPECT_TRUE(fake.system.traces.empty());
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

TEST(StoredContinue, PrechecksContinueAndShowsThePositionForTheSameSourceOnly) {
    const struct {
        const char* continueText;
        const char* continueDir;
        const char* lpic;
        int ckCont;
    } cases[] = {{"17", "C:\\FOTOS\\*.*", "17 / 0", 1}, {"17", "C:\\fotos\\*.*", "1 / 0", 1}, {"17", "", "1 / 0", 1},
                 {"0", "C:\\FOTOS\\*.*", "0 / 0", 0},   {"-4", "C:\\FOTOS\\*.*", "0 / 0", 0},
                 {"abc", "C:\\FOTOS\\*.*", "0 / 0", 0}};
    for (const auto& c : cases) {
        Program p;
        p.store("SourceFile", "C:\\FOTOS\\*.*");
        p.store("Continue", c.continueText);
        p.store("ContinueDir", c.continueDir);
        p.run();
        EXPECT_EQ(p.main().Lpic.text(), c.lpic) << c.continueText << " " << c.continueDir;
        EXPECT_EQ(p.main().CkCont.value(), c.ckCont) << c.continueText << " " << c.continueDir;
    }
}

TEST(StoredValues, BadOnesAreRepairedAndTracedGoodOnesKept) {
    const struct {
        const char* what;
        std::vector<std::pair<const char*, const char*>> stored;
        double top, left;
        int subScan, displayName, wait, opacity;
        bool shadow;
        std::size_t traces;
    } cases[] = {
        {"bad values",
         {{"WinTop", "oben"}, {"WinLeft", "1e40"}, {"SubScan", "7"}, {"DisplayName", "2"}, {"Wait", "99"},
          {"Transparence", "300"}},
         480, 480, 1, 2, 60, 0, true, 3},
        {"off every monitor", {{"WinTop", "-90000"}, {"WinLeft", "200000"}}, 480, 480, 1, 1, 3, 255, true, 0},
        {"on the screen", {{"WinTop", "1200"}, {"WinLeft", "2400"}}, 1200, 2400, 1, 1, 3, 255, true, 0},
        {"transparent, no shadow", {{"Transparence", "55"}, {"Shadow", "0"}}, 480, 480, 1, 1, 3, 200, false, 0},
    };
    for (const auto& c : cases) {
        Program p;
        for (const auto& [key, value] : c.stored) p.store(key, value);
        p.run();
        EXPECT_EQ(p.main().window.top(), c.top) << c.what;
        EXPECT_EQ(p.main().window.left(), c.left) << c.what;
        EXPECT_EQ(p.main().CkSub.value(), c.subScan) << c.what;
        EXPECT_EQ(p.main().CkDisp.value(), c.displayName) << c.what;
        EXPECT_EQ(p.main().HS1.value(), c.wait) << c.what;
        EXPECT_EQ(p.main().window["Lsek"].text(), " " + std::to_string(c.wait) + " s") << c.what;
        EXPECT_EQ(p.window("Form1")->opacity, c.opacity) << c.what;
        EXPECT_EQ(p.window("Form1")->layered, c.opacity != 255) << c.what;
        EXPECT_EQ(p.window("Form1")->shadow, c.shadow) << c.what;
        EXPECT_EQ(p.fake.system.traces.size(), c.traces) << c.what;
    }
}

TEST_F(StartUp, CommandLineSourceLeavesTheStoredSourceAndPositionAlone) {
    store("SourceFile", "C:\\FOTOS\\*.*");
    store("ContinueDir", "C:\\FOTOS\\*.*");
    store("Continue", "12");
    fake.system.args = "\"D:\\Meine Bilder\\*.jpg\"";
    fake.windows.call([&] {
        EXPECT_EQ(main().TQD.text(), "D:\\Meine Bilder\\*.jpg");
        EXPECT_EQ(main().Lpic.text(), "0 / 0");
        EXPECT_EQ(state().startMode, StartMode::CommandLineSource);
        EXPECT_TRUE(window("Form1")->shown());
    });
    fake.windows.key(kEscape);
    run();
    EXPECT_EQ(stored("SourceFile"), "C:\\FOTOS\\*.*");
    EXPECT_EQ(stored("ContinueDir"), "C:\\FOTOS\\*.*");
    EXPECT_EQ(stored("Continue"), "12");
    EXPECT_EQ(stored("Wait"), "3");
}

TEST(Shutdown, StoresTheContinuePositionAndKeepsOrDeletesTheIndex) {
    const struct {
        const char* what;
        const char* continueStored;
        const char* saveIndex;
        bool indexExists;
        const char* continueAfter;
        const char* continueDirAfter;
        bool indexAfter;
    } cases[] = {
        {"continue checked without a position stores 1", "0", "1", true, "1", "C:\\*.*", true},
        {"continue unchecked forgets the position", "9", "0", true, "0", "", false},
        {"no index to delete", "9", "0", false, "0", "", false},
    };
    for (const auto& c : cases) {
        Program p;
        p.store("Continue", c.continueStored);
        p.store("ContinueDir", "C:\\*.*");
        p.store("SaveIndex", c.saveIndex);
        if (c.indexExists) p.makeFile(kIndexOfDefaultSource, "C:\\A.JPG\r\n");
        p.fake.windows.click("Form1", "CkCont").click("Form1", "CEnd");
        p.run();
        EXPECT_EQ(p.stored("Continue"), c.continueAfter) << c.what;
        EXPECT_EQ(p.stored("ContinueDir"), c.continueDirAfter) << c.what;
        EXPECT_EQ(p.fileExists(kIndexOfDefaultSource), c.indexAfter) << c.what;
        EXPECT_EQ(p.stored("SaveIndex"), c.saveIndex) << c.what;
    }
}

TEST(IndexDeletion, ByTheDeleteKeyOrLoeschenForgetsTheListAndThePosition) {
    const std::vector<std::function<void(platform::fake::FakeWindowSystem&)>> triggers = {
        [](auto& windows) { windows.focus("Form1", "TQD").key(kDelete); },
        [](auto& windows) { windows.click("Form1", "LKill"); },
    };
    for (const auto& trigger : triggers) {
        Program p;
        p.store("SourceFile", "C:\\FOTOS\\*.*");
        p.store("Continue", "5");
        p.store("ContinueDir", "C:\\FOTOS\\*.*");
        p.makeFile("C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP", "C:\\FOTOS\\A.JPG\r\n");
        p.fake.windows.call([&] { p.state().list.CachedCount = 12; });
        trigger(p.fake.windows);
        p.run();
        EXPECT_FALSE(p.fileExists("C:\\TEMP\\PTAV-DIR (C_FOTOS) .TMP"));
        EXPECT_FALSE(p.main().LKill.visible());
        EXPECT_EQ(p.main().Lpic.text(), "0 / 0");
        EXPECT_EQ(p.state().ContinuePos, 0);
        EXPECT_EQ(p.state().list.CachedCount, 0);
    }
}

using MainWindow = Scenario;

TEST_F(MainWindow, TypingInTheSourceForgetsTheListAndNamesTheIndexAnew) {
    makeFile("C:\\TEMP\\PTAV-DIR (D_Urlaub) .TMP", "D:\\Urlaub\\A.JPG\r\n");
    makeFile("C:\\TEMP\\PTAV-DIR (D_Leer) .TMP", "");
    store("Continue", "4");
    store("ContinueDir", "C:\\*.*");
    fake.windows.type("Form1", "TQD", "D:\\Urlaub\\*.*")
        .call([&] {
            EXPECT_EQ(main().Lpic.text(), "0 / 0");
            EXPECT_EQ(state().ContinuePos, 0);
            EXPECT_EQ(state().IndexFile, "C:\\TEMP\\PTAV-DIR (D_Urlaub) .TMP");
            EXPECT_TRUE(main().LKill.visible());
        })
        .type("Form1", "TQD", "D:\\Leer\\*.*")
        .call([&] { EXPECT_FALSE(main().LKill.visible()) << "an empty index is not offered for deletion"; });
    run();
}

TEST_F(MainWindow, ScrollBarSubdirectoriesAndFocusOnTheSource) {
    fake.windows.scroll("Form1", "HS1", 0)
        .call([&] { EXPECT_EQ(main().window["Lsek"].text(), " 0 s"); })
        .click("Form1", "CkSub")
        .call([&] { state().list.CachedCount = 12; })
        .click("Form1", "CkSub")
        .call([&] { EXPECT_EQ(state().list.CachedCount, 0) << "set back, the option still forces a new scan"; })
        .focus("Form1", "TQD")
        .call([&] {
            const auto& box = control("Form1", "TQD");
            EXPECT_EQ(box.selStart, 0);
            EXPECT_EQ(box.selLength, -1);
        });
    run();
}

}  // namespace
}  // namespace pictavo::testing
