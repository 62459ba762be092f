#include <gtest/gtest.h>

#include "scenario.h"

namespace pictavo::testing {
namespace {

using ProgressWindow = Scenario;

TEST_F(ProgressWindow, ClosingItDuringTheScanEndsTheProgramCleanly) {
    makeFile("C:\\Fotos\\a.jpg", "x");
    fake.system.program = [](const std::string&) {};  // a slow interpreter: still listing when the user gives up
    fake.system.args = "C:\\Fotos\\*.* /s";
    store("Wait", "9");
    fake.windows.closeBox("FrmRunNow").atYield();
    run();
    EXPECT_TRUE(fake.windows.quitting());
    EXPECT_FALSE(main().window.loaded());
    EXPECT_TRUE(fake.pictures.loaded.empty()) << "no show starts";
    EXPECT_EQ(stored("Wait"), "9") << "the settings were written";
    EXPECT_EQ(stored("SourceFile"), "<missing>") << "a command-line source is not stored";
    EXPECT_FALSE(window("FrmRunNow"));
}

TEST_F(ProgressWindow, NeverAppearsWithoutAnAutomaticStart) {
    makeFile("C:\\Fotos\\a.jpg", "x");
    fake.system.args = "C:\\Fotos\\*.*";
    fake.windows.click("Form1", "Cstart").key(27);
    run();
    EXPECT_FALSE(fake.windows.textLog.contains("FrmRunNow.Linfo"));
    EXPECT_EQ(fake.windows.textLog["Form1.Linfo"].at(0), "Suche Bilder ...");
}

TEST_F(ProgressWindow, CountsPicturesWithoutTheirFirstTwoCharacters) {
    for (int i = 0; i < 25; ++i) makeFile("C:\\Viele\\" + std::to_string(100 + i) + ".jpg", "x");
    fake.system.args = "C:\\Viele\\*.* !";
    fake.windows.key(27);
    run();
    const auto& counts = fake.windows.textLog["FrmRunNow.Lpic"];
    EXPECT_EQ(counts.front(), "Bilder: ");
    EXPECT_EQ(counts.back(), "Bilder: / 20") << "the count moves in steps of ten and trails the true count";
    EXPECT_EQ(state().list.CachedCount, 25);
    const auto& texts = fake.windows.textLog["FrmRunNow.Linfo"];
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Erstelle Index, bitte warten ..."), texts.end());
    EXPECT_EQ(texts.back(), "");
}

}  // namespace
}  // namespace pictavo::testing
