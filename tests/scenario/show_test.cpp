#include <gtest/gtest.h>

#include "program/frm_go_to.h"
#include "program/frm_pic.h"
#include "program/frm_wait.h"
#include "scenario.h"

namespace pictavo::testing {
namespace {

// Pictures in three directories: A holds 1 and 2, B holds 3, C holds 4.
void makeTree(Program& p) {
    p.makePicture("C:\\Fotos\\A\\1.png", 800, 600);
    p.makePicture("C:\\Fotos\\A\\2.png", 600, 800);
    p.makePicture("C:\\Fotos\\B\\3.png", 100, 10);
    p.makePicture("C:\\Fotos\\C\\4.png", 3, 7);
    p.store("SourceFile", "C:\\Fotos\\*.*");
}

// The names of the pictures loaded, in order.
std::vector<std::string> shown(Program& p) {
    std::vector<std::string> names;
    for (const auto& path : p.fake.pictures.loaded) names.push_back(path.substr(path.find_last_of('\\') + 1));
    return names;
}

using Show = Scenario;

TEST_F(Show, AdvancesByTheDisplayTimeAndEndsAfterTheLastPicture) {
    makeTree(*this);
    store("Wait", "2");
    fake.windows.click("Form1", "Cstart")
        .call([&] { EXPECT_FALSE(window("Form1")->shown()) << "the main window hides during the show"; })
        .tick(2 * 4);
    run();
    EXPECT_EQ(shown(*this), (std::vector<std::string>{"1.png", "2.png", "3.png", "4.png"}));
    EXPECT_TRUE(window("Form1")->shown());
    EXPECT_FALSE(app->frmPic().form.loaded());
    EXPECT_EQ(state().ContinuePos, 4);
    EXPECT_EQ(main().Lpic.text(), "4 / 4");
    EXPECT_TRUE(main().Cstart.enabled());
}

TEST_F(Show, EndlessLoopStartsOverAndMarksTheCaptionAndADisplayTimeOfZeroWaitsForKeys) {
    makeTree(*this);
    store("Loop", "1");
    store("Wait", "0");
    fake.windows.click("Form1", "Cstart").tick(100).key(kRight).key(kRight).key(kRight).key(kRight);
    fake.windows.call([&] { EXPECT_EQ(control("FrmPic", "LBild1").text, "C:\\Fotos\\A\\1.png [1/4] ~"); })
        .key(kEscape);
    run();
    EXPECT_EQ(shown(*this), (std::vector<std::string>{"1.png", "2.png", "3.png", "4.png", "1.png"}));
}

TEST_F(Show, KeysStepThroughPicturesAndDirectoriesWithWrapAround) {
    makeTree(*this);
    const std::pair<int, const char*> steps[] = {
        {kLeft, "4.png"}, {kDown, "1.png"}, {kUp, "4.png"},  {kUp, "3.png"},    {'L', "2.png"},    {kBackspace, "1.png"},
        {'A', "3.png"},   {'Q', "1.png"},   {kEnter, "2.png"}, {'N', "3.png"},  {kRight, "4.png"}};
    std::vector<std::string> expected{"1.png"};
    fake.windows.click("Form1", "Cstart");
    for (const auto& [key, picture] : steps) {
        fake.windows.key(key);
        expected.push_back(picture);
    }
    fake.windows.key(kRight);  // past the last picture: the end
    run();
    EXPECT_EQ(shown(*this), expected);
    EXPECT_TRUE(window("Form1")->shown());
}

TEST_F(Show, SpacePausesAndResumesTheCountWhereItWasHeld) {
    makeTree(*this);
    store("Wait", "3");
    fake.windows.click("Form1", "Cstart")
        .tick()
        .key(kSpace)
        .tick(10)
        .call([&] { EXPECT_EQ(shown(*this).size(), 1u); })
        .key('P')
        .tick(2)
        .call([&] { EXPECT_EQ(shown(*this).size(), 2u) << "the held count of one went on to three"; })
        .key(kEscape);
    run();
}

TEST(DisplayDuringAShow, IsKeptOnFromTheFirstPictureUntilTheShowEndsInAnyWay) {
    const std::pair<const char*, std::function<void(Program&)>> endings[] = {
        {"Esc", [](Program& p) { p.fake.windows.key(kEscape); }},
        {"end of the list", [](Program& p) { p.fake.windows.key(kRight).key(kRight).key(kRight).key(kRight); }},
        {"closing", [](Program& p) { p.fake.windows.call([&p] { p.main().window.unload(); }); }},
        {"automatic start", [](Program& p) { p.fake.system.args = "C:\\Fotos\\*.* !"; p.fake.windows.key(kEscape); }},
    };
    for (const auto& [ending, end] : endings) {
        Program p;
        makeTree(p);
        auto onlyOn = [&p, ending] { EXPECT_EQ(p.fake.system.displayRequests, std::vector<bool>{true}) << ending; };
        if (std::string(ending) != "automatic start") p.fake.windows.click("Form1", "Cstart");
        p.fake.windows.call(onlyOn).key(kSpace).call(onlyOn);
        end(p);
        p.run();
        EXPECT_EQ(p.fake.system.displayRequests, (std::vector<bool>{true, false})) << ending;
        EXPECT_TRUE(p.fake.windows.quitting() || p.window("Form1")->shown()) << ending;
    }
}

TEST(ResumedShow, StartsAtTheRememberedPictureOrOverWhenItIsTheLastOrBeyond) {
    for (const auto& [stored, first] : {std::pair{"3", "3.png"}, {"4", "1.png"}, {"9", "1.png"}}) {
        Program p;
        makeTree(p);
        p.store("Continue", stored);
        p.store("ContinueDir", "C:\\Fotos\\*.*");
        p.fake.windows.click("Form1", "Cstart").key(kEscape);
        p.run();
        EXPECT_EQ(shown(p).at(0), first) << stored;
    }
}

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
    EXPECT_TRUE(fake.system.displayRequests.empty()) << "no picture, nothing to keep on";
}

TEST_F(Show, DamagedPictureShowsTheErrorLineAndTheShowGoesOn) {
    makeFile("C:\\Fotos\\a.jpg", "kein Bild");
    makePicture("C:\\Fotos\\b.png", 10, 10);
    store("SourceFile", "C:\\Fotos\\*.*");
    fake.windows.click("Form1", "Cstart")
        .call([&] {
            EXPECT_EQ(control("FrmPic", "LBild1").text,
                      "C:\\Fotos\\a.jpg [1/2]\rFEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!");
            EXPECT_EQ(control("FrmPic", "LBild2").text, control("FrmPic", "LBild1").text);
            EXPECT_EQ(control("FrmPic", "Image1").picture, nullptr);
        })
        .key(kRight)
        .call([&] { EXPECT_EQ(control("FrmPic", "LBild1").text, "C:\\Fotos\\b.png [2/2]"); })
        .key(kEscape);
    run();
    EXPECT_EQ(fake.system.traces, std::vector<std::string>{"picture not loaded: C:\\Fotos\\a.jpg"});
}

TEST_F(Show, PictureIsFittedCentredAndThePointerParked) {
    makeTree(*this);
    struct Expected { double left, top, width, height; };
    const Expected expected[] = {{0, 0, 15360, 11520}, {3360, 0, 8640, 11520}, {0, 4992, 15360, 1536},
                                 {5211.5, 0, 4937, 11520}};
    fake.windows.click("Form1", "Cstart");
    for (const Expected& e : expected) {
        fake.windows.call([&, e] {
            const platform::TwipRect r = window("FrmPic")->bounds("Image1");
            EXPECT_EQ((std::vector{r.left, r.top, r.width, r.height}), (std::vector{e.left, e.top, e.width, e.height}));
            EXPECT_EQ(fake.windows.cursor, (std::pair<int, int>{15360, 11520}));
            fake.windows.cursor = {0, 0};
        });
        fake.windows.key(kRight);
    }
    run();
}

TEST_F(Show, CaptionHiddenWhenFileNamesAreOff) {
    makeTree(*this);
    store("DisplayName", "0");
    fake.windows.click("Form1", "Cstart")
        .call([&] {
            EXPECT_EQ(control("FrmPic", "LBild1").text, "");
            EXPECT_FALSE(window("FrmPic")->visible("LBild2"));
        })
        .key(kEscape);
    run();
}

// Numbers beyond the list, below it or with a fraction are brought into it.
TEST_F(Show, GoToJumpsToTheChosenPictureAndStaysPaused) {
    makeTree(*this);
    store("Wait", "1");
    fake.windows.click("Form1", "Cstart")
        .key('G')
        .call([&] {
            EXPECT_EQ(control("FrmGoTo", "GoToPic").text, "1");
            EXPECT_EQ(control("FrmGoTo", "GoToMax").text, "/ 4");
            ASSERT_TRUE(window("FrmGoTo"));
            EXPECT_EQ(window("FrmGoTo")->title(), main().window.caption());
        })
        .type("FrmGoTo", "GoToPic", " 3 ")
        .click("FrmGoTo", "cOk")
        .tick(5)
        .key('G')
        .click("FrmGoTo", "cAbbr")
        .key('G')
        .closeBox("FrmGoTo");
    for (const char* typed : {"99", "2.6", "-1"})
        fake.windows.key('G').type("FrmGoTo", "GoToPic", typed).click("FrmGoTo", "cOk");
    fake.windows.key(kEscape);
    run();
    EXPECT_EQ(shown(*this), (std::vector<std::string>{"1.png", "3.png", "3.png", "3.png", "4.png", "3.png", "1.png"}));
    EXPECT_EQ(fake.windows.undelivered, 0);
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

TEST_F(Show, ClosedPictureWindowComesBackForTheNextPictureAndASecondStartScansNoMore) {
    makeTree(*this);
    fake.windows.click("Form1", "Cstart")
        .call([&] { app->frmPic().form.unload(); })
        .key(kRight)
        .call([&] { EXPECT_TRUE(window("FrmPic") && window("FrmPic")->shown()); })
        .key(kEscape);
    fake.windows.click("Form1", "Cstart").key(kEscape);
    run();
    EXPECT_EQ(fake.system.started.size(), 1u) << "a second start shows the list in memory without a scan";
    EXPECT_EQ(shown(*this), (std::vector<std::string>{"1.png", "2.png", "1.png"}));
}

}  // namespace
}  // namespace pictavo::testing
