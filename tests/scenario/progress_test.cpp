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
    fake.windows.click("Form1", "Cstart").key(kEscape);
    run();
    EXPECT_FALSE(fake.windows.textLog.contains("FrmRunNow.Linfo"));
    EXPECT_EQ(fake.windows.textLog["Form1.Linfo"].at(0), "Suche Bilder ...");
}

// An automatic start: the progress window stands in for the main window,
// which never shows, and the end of the show ends the program.
TEST_F(ProgressWindow, CountsPicturesWithoutTheirFirstTwoCharactersAndTheShowEndsTheProgram) {
    for (int i = 0; i < 25; ++i) makePicture("C:\\Viele\\" + std::to_string(100 + i) + ".png", 4, 3);
    store("SourceFile", "C:\\Anderswo\\*.*");
    fake.system.args = "C:\\Viele !";
    fake.windows
        .call([&] {
            auto* progress = window("FrmRunNow");
            ASSERT_TRUE(progress && progress->shown());
            EXPECT_EQ(progress->title(), "Pictavo - V1.13a - 06.11.2004");
            EXPECT_FALSE(window("Form1")->shown());
        })
        .atYield()
        .key(kRight)
        .key(kEscape);
    run();
    EXPECT_EQ(texts("FrmRunNow.Lpic"), (std::vector<std::string>{"Bilder: ", "Bilder: / 10", "Bilder: / 20"}))
        << "the count moves in steps of ten, behind the true count";
    EXPECT_EQ(state().list.CachedCount, 25);
    const auto status = texts("FrmRunNow.Linfo");
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(texts("FrmRunNow.Linfo", 2),
              (std::vector<std::string>{"Suche Bilder, bitte warten ...", "Suche Bilder, bitte warten ... |"}));
    EXPECT_NE(std::find(status.begin(), status.end(), "Erstelle Index, bitte warten ..."), status.end());
    EXPECT_EQ(status.back(), "");
    EXPECT_EQ(fake.pictures.loaded.size(), 2u);
    EXPECT_FALSE(main().window.loaded());
    EXPECT_TRUE(fake.windows.quitting());
    EXPECT_EQ(stored("SourceFile"), "C:\\Anderswo\\*.*");
    EXPECT_EQ(fake.windows.undelivered, 0);
}

}  // namespace
}  // namespace pictavo::testing
