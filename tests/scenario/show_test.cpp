#include <gtest/gtest.h>

#include "dialogs/frm_go_to.h"
#include "presentation/frm_pic.h"
#include "presentation/frm_wait.h"
#include "scenario.h"

namespace pictavo::testing {
namespace {

class Show : public Scenario {
protected:
    // Pictures in three directories: A holds 1 and 2, B holds 3, C holds 4.
    void makeTree() {
        makePicture("C:\\Fotos\\A\\1.png", 800, 600);
        makePicture("C:\\Fotos\\A\\2.png", 600, 800);
        makePicture("C:\\Fotos\\B\\3.png", 100, 10);
        makePicture("C:\\Fotos\\C\\4.png", 3, 7);
        store("SourceFile", "C:\\Fotos\\*.*");
    }
    std::vector<std::string> shown() {
        std::vector<std::string> names;
        for (const auto& path : fake.pictures.loaded) names.push_back(path.substr(path.find_last_of('\\') + 1));
        return names;
    }
};

TEST_F(Show, AdvancesByTheDisplayTimeAndEndsAfterTheLastPicture) {
    makeTree();
    store("Wait", "2");
    fake.windows.click("Form1", "Cstart")
        .call([&] { EXPECT_FALSE(window("Form1")->shown()) << "the main window hides during the show"; })
        .tick(2 * 4);
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "2.png", "3.png", "4.png"}));
    EXPECT_TRUE(window("Form1")->shown());
    EXPECT_FALSE(app->frmPic().form.loaded());
    EXPECT_EQ(state().ContinuePos, 4);
    EXPECT_EQ(main().Lpic.text(), "4 / 4");
    EXPECT_TRUE(main().Cstart.enabled());
}

TEST_F(Show, EndlessLoopStartsOverAndMarksTheCaption) {
    makeTree();
    store("Loop", "1");
    fake.windows.click("Form1", "Cstart").key(kRight).key(kRight).key(kRight).key(kRight);
    fake.windows.call([&] { EXPECT_EQ(window("FrmPic")->control("LBild1").text, "C:\\Fotos\\A\\1.png [1/4] ~"); })
        .key(kEscape);
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "2.png", "3.png", "4.png", "1.png"}));
}

TEST_F(Show, KeysStepThroughPicturesAndDirectoriesWithWrapAround) {
    makeTree();
    fake.windows.click("Form1", "Cstart")
        .key(kLeft)       // 1 -> 4
        .key(kDown)       // directory C -> A: 1
        .key(kUp)         // directory A -> C: 4
        .key(kUp)         // directory C -> B: 3
        .key('L')         // 2
        .key(kBackspace)  // 1
        .key('A')         // directory A -> B: 3
        .key('Q')         // directory B -> A: 1
        .key(kEnter)      // 2
        .key('N')         // 3
        .key(kRight)      // 4
        .key(kRight);     // end of the list
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "4.png", "1.png", "4.png", "3.png", "2.png", "1.png", "3.png",
                                                 "1.png", "2.png", "3.png", "4.png"}));
    EXPECT_TRUE(window("Form1")->shown());
}

TEST_F(Show, SpacePausesAndResumesTheCountWhereItWasHeld) {
    makeTree();
    store("Wait", "3");
    fake.windows.click("Form1", "Cstart")
        .tick()
        .key(kSpace)
        .tick(10)
        .call([&] { EXPECT_EQ(shown().size(), 1u); })
        .key('P')
        .tick(2)
        .call([&] { EXPECT_EQ(shown().size(), 2u) << "the held count of one went on to three"; })
        .key(kEscape);
    run();
}

TEST_F(Show, EscKeepsThePositionOfThePictureOnTheScreen) {
    makeTree();
    fake.windows.click("Form1", "Cstart").key(kRight).key(kRight).key(kEscape).call([&] {
        EXPECT_EQ(state().ContinuePos, 3);
        EXPECT_FALSE(app->frmWait().form.loaded());
        EXPECT_TRUE(window("Form1")->shown());
    });
    run();
}

struct ResumeCase {
    const char* name;
    const char* stored;
    const char* firstShown;
    friend void PrintTo(const ResumeCase& c, std::ostream* out) { *out << c.name; }
};

class ResumedShow : public Show, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(ResumedShow, StartsAtTheRememberedPicture) {
    makeTree();
    store("Continue", GetParam().stored);
    store("ContinueDir", "C:\\Fotos\\*.*");
    fake.windows.click("Form1", "Cstart").key(kEscape);
    run();
    ASSERT_FALSE(shown().empty());
    EXPECT_EQ(shown().front(), GetParam().firstShown);
}

INSTANTIATE_TEST_SUITE_P(Cases, ResumedShow,
                         ::testing::Values(ResumeCase{"Middle", "3", "3.png"},
                                           ResumeCase{"LastWithoutLoopStartsOver", "4", "1.png"},
                                           ResumeCase{"BeyondTheList", "9", "1.png"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Show, EmptyListReportsAndForgetsTheIndex) {
    makeFile("C:\\Leer\\text.txt", "x");
    store("SourceFile", "C:\\Leer\\*.*");
    fake.windows.click("Form1", "Cstart");
    run();
    EXPECT_EQ(fake.windows.messages,
              (std::vector<std::pair<std::string, std::string>>{{"Keine Bilder gefunden!", "FEHLER:"}}));
    EXPECT_FALSE(main().LKill.visible());
    EXPECT_FALSE(fileExists("C:\\TEMP\\PTAV-DIR (C_Leer) .TMP"));
    EXPECT_TRUE(window("Form1")->shown());
    EXPECT_FALSE(app->frmWait().form.loaded());
}

TEST_F(Show, DamagedPictureShowsTheErrorLineAndTheShowGoesOn) {
    makeFile("C:\\Fotos\\a.jpg", "kein Bild");
    makePicture("C:\\Fotos\\b.png", 10, 10);
    store("SourceFile", "C:\\Fotos\\*.*");
    fake.windows.click("Form1", "Cstart")
        .call([&] {
            EXPECT_EQ(window("FrmPic")->control("LBild1").text,
                      "C:\\Fotos\\a.jpg [1/2]\rFEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!");
            EXPECT_EQ(window("FrmPic")->control("LBild2").text, window("FrmPic")->control("LBild1").text);
            EXPECT_EQ(window("FrmPic")->control("Image1").picture, nullptr);
        })
        .key(kRight)
        .call([&] { EXPECT_EQ(window("FrmPic")->control("LBild1").text, "C:\\Fotos\\b.png [2/2]"); })
        .key(kEscape);
    run();
    EXPECT_EQ(fake.system.traces, std::vector<std::string>{"picture not loaded: C:\\Fotos\\a.jpg"});
}

TEST_F(Show, PictureIsFittedCentredAndThePointerParked) {
    makeTree();
    struct Expected {
        double left, top, width, height;
    };
    const Expected expected[] = {{0, 0, 15360, 11520}, {3360, 0, 8640, 11520}, {0, 4992, 15360, 1536},
                                 {5211.5, 0, 4937, 11520}};
    fake.windows.click("Form1", "Cstart");
    for (const Expected& e : expected) {
        fake.windows.call([&, e] {
            const platform::TwipRect r = window("FrmPic")->control("Image1").bounds;
            EXPECT_EQ((std::vector{r.left, r.top, r.width, r.height}), (std::vector{e.left, e.top, e.width, e.height}));
            EXPECT_EQ(fake.windows.cursor, (std::pair<int, int>{15360, 11520}));
            fake.windows.cursor = {0, 0};
        });
        fake.windows.key(kRight);
    }
    run();
}

TEST_F(Show, CaptionHiddenWhenFileNamesAreOff) {
    makeTree();
    store("DisplayName", "0");
    fake.windows.click("Form1", "Cstart")
        .call([&] {
            EXPECT_EQ(window("FrmPic")->control("LBild1").text, "");
            EXPECT_FALSE(window("FrmPic")->control("LBild2").visible);
        })
        .key(kEscape);
    run();
}

TEST_F(Show, GoToJumpsToTheChosenPictureAndStaysPaused) {
    makeTree();
    store("Wait", "1");
    fake.windows.click("Form1", "Cstart")
        .key('G')
        .call([&] {
            EXPECT_EQ(window("FrmGoTo")->control("GoToPic").text, "1");
            EXPECT_EQ(window("FrmGoTo")->control("GoToMax").text, "/ 4");
            EXPECT_EQ(window("FrmGoTo")->title(), main().window.caption());
        })
        .type("FrmGoTo", "GoToPic", " 3 ")
        .click("FrmGoTo", "cOk")
        .tick(5)
        .key('G')
        .click("FrmGoTo", "cAbbr")
        .key('G')
        .closeBox("FrmGoTo")
        .key(kEscape);
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "3.png", "3.png", "3.png"}));
    EXPECT_EQ(fake.windows.undelivered, 0);
}

TEST_F(Show, GoToNumbersAreBroughtIntoTheList) {
    makeTree();
    fake.windows.click("Form1", "Cstart");
    for (const char* typed : {"2.6", "99", "-1"})
        fake.windows.key('G').type("FrmGoTo", "GoToPic", typed).click("FrmGoTo", "cOk");
    fake.windows.key(kEscape);
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "3.png", "4.png", "1.png"}));
}

TEST_F(Show, DirectoryKeysWithoutDirectoriesGoToTheFirstPicture) {
    makePicture("C:\\Flach\\a.png", 4, 3);
    makePicture("C:\\Flach\\b.png", 4, 3);
    makePicture("C:\\Flach\\c.png", 4, 3);
    store("SourceFile", "C:\\Flach\\*.*");
    store("SubScan", "0");
    fake.windows.click("Form1", "Cstart").key(kRight).key(kRight).key(kDown).key(kRight).key(kUp).key(kEscape);
    run();
    EXPECT_EQ(fake.pictures.loaded,
              (std::vector<std::string>{"C:\\Flach\\a.png", "C:\\Flach\\b.png", "C:\\Flach\\c.png",
                                        "C:\\Flach\\a.png", "C:\\Flach\\b.png", "C:\\Flach\\a.png"}))
        << "bare names are loaded from the source's directory";
}

TEST_F(Show, ClosedPictureWindowComesBackForTheNextPicture) {
    makeTree();
    fake.windows.click("Form1", "Cstart")
        .call([&] { app->frmPic().form.unload(); })
        .key(kRight)
        .call([&] { EXPECT_TRUE(window("FrmPic") && window("FrmPic")->shown()); })
        .key(kEscape);
    run();
}

TEST_F(Show, SecondStartShowsTheSameListWithoutScanning) {
    makeTree();
    fake.windows.click("Form1", "Cstart").key(kEscape).click("Form1", "Cstart").key(kEscape);
    run();
    EXPECT_EQ(fake.system.started.size(), 1u);
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "1.png"}));
}

TEST_F(Show, AutomaticStartShowsProgressThenPicturesAndEndsTheProgram) {
    makeTree();
    store("SourceFile", "C:\\Anderswo\\*.*");
    fake.system.args = "C:\\Fotos !";
    fake.windows
        .call([&] {
            auto* progress = window("FrmRunNow");
            ASSERT_TRUE(progress && progress->shown());
            EXPECT_EQ(progress->title(), "Pictavo - V1.13a - 06.11.2004");
            EXPECT_EQ(progress->control("Linfo").history,
                      (std::vector<std::string>{"Suche Bilder, bitte warten ...", "Suche Bilder, bitte warten ... |"}));
            EXPECT_FALSE(window("Form1")->shown());
        })
        .atYield()
        .key(kRight)
        .key(kEscape);
    run();
    EXPECT_EQ(shown(), (std::vector<std::string>{"1.png", "2.png"}));
    EXPECT_FALSE(main().window.loaded());
    EXPECT_TRUE(fake.windows.quitting());
    EXPECT_EQ(stored("SourceFile"), "C:\\Anderswo\\*.*");
    EXPECT_EQ(fake.windows.undelivered, 0);
}

}  // namespace
}  // namespace pictavo::testing
