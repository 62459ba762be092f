#include <gtest/gtest.h>

#include "program/frm_file.h"
#include "scenario.h"

namespace pictavo::testing {
namespace {

class SourceDialog : public Scenario {
protected:
    void SetUp() override {
        for (const char* file : {"C:\\Fotos\\a.jpg", "C:\\Fotos\\b.png", "C:\\Fotos\\Urlaub\\c.JPG",
                                 "C:\\Fotos\\Urlaub\\d.gif", "D:\\Bilder\\e.jpg"})
            makeFile(file, "x");
        store("SourceFile", "C:\\Fotos\\Urlaub\\*.JPG");
    }
    FrmFile& dialog() { return app->frmFile(); }
    platform::fake::FakeControlState& list(const char* name) { return control("FrmFile", name); }
};

TEST_F(SourceDialog, OpensCentredWithTheListsFollowingTheSource) {
    fake.windows.click("Form1", "CQD").call([&] {
        EXPECT_EQ(dialog().Tfile.text(), "C:\\Fotos\\Urlaub\\*.JPG");
        EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos\\Urlaub");
        EXPECT_EQ(list("File1").items, (std::vector<std::string>{"c.JPG"}));
        EXPECT_EQ(list("Dir1").items, (std::vector<std::string>{"C:\\", "  Fotos", "    Urlaub"}));
        ASSERT_TRUE(window("FrmFile"));
        const platform::TwipRect own = window("FrmFile")->windowRect();
        const platform::TwipRect parent = window("Form1")->windowRect();
        EXPECT_FLOAT_EQ(own.left + own.width / 2, parent.left + parent.width / 2);
        EXPECT_FLOAT_EQ(own.top + own.height / 2, parent.top + parent.height / 2);
        EXPECT_TRUE(window("FrmFile")->shadow);
        EXPECT_EQ(window("FrmFile")->focus(), window("FrmFile")->indexOf("Cok"));
    });
    fake.windows.click("FrmFile", "Cok");
    run();
    EXPECT_FALSE(dialog().form.loaded());
}

TEST_F(SourceDialog, OpeningADirectoryRewritesTheTextOnlyAfterAClickIntoTheList) {
    fake.windows.click("Form1", "CQD")
        .select("FrmFile", "Dir1", 1)
        .call([&] { EXPECT_EQ(dialog().Tfile.text(), "C:\\Fotos\\Urlaub\\*.JPG") << "a click only selects"; })
        .dblClick("FrmFile", "Dir1")
        .call([&] {
            EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos");
            EXPECT_EQ(dialog().Tfile.text(), "C:\\Fotos\\*.JPG");
            EXPECT_EQ(list("Tfile").selStart, 14);
            EXPECT_EQ(list("File1").items, (std::vector<std::string>{"a.jpg"}));
        })
        .click("FrmFile", "Cok");
    run();
    EXPECT_EQ(main().TQD.text(), "C:\\Fotos\\*.JPG");
    EXPECT_EQ(state().IndexFile, "C:\\TEMP\\PTAV-DIR (C_Fotos_JP) .TMP");
}

// Cancel, the close box and Esc leave the source as it was.
TEST_F(SourceDialog, DriveChangeMovesTheListsButNotTheTextBeforeAClick) {
    fake.windows.click("Form1", "CQD")
        .select("FrmFile", "Drive1", 1)
        .call([&] {
            EXPECT_EQ(dialog().Drive1.drive(), "d:");
            EXPECT_EQ(dialog().Dir1.path(), "D:\\");
            EXPECT_EQ(dialog().Tfile.text(), "C:\\Fotos\\Urlaub\\*.JPG");
        })
        .click("FrmFile", "Cab");
    fake.windows.click("Form1", "CQD").type("FrmFile", "Tfile", "C:\\Fotos\\*.*").closeBox("FrmFile");
    fake.windows.click("Form1", "CQD").type("FrmFile", "Tfile", "C:\\*.*").key(kEscape);
    run();
    EXPECT_EQ(main().TQD.text(), "C:\\Fotos\\Urlaub\\*.JPG");
    EXPECT_EQ(fake.windows.undelivered, 0);
}

TEST_F(SourceDialog, DriveWithoutMediumKeepsTheDialogWhereItWas) {
    fake.files.drivesWithoutMedium = {"A:"};
    fake.windows.click("Form1", "CQD")
        .select("FrmFile", "Drive1", 0)
        .call([&] {
            EXPECT_EQ(dialog().Drive1.drive(), "c:");
            EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos\\Urlaub");
            EXPECT_EQ(list("Drive1").listIndex, 1);
        })
        .type("FrmFile", "Tfile", "A:\\*.*")
        .call([&] { EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos\\Urlaub") << "the handler stops at the drive"; })
        .key(kEscape);
    run();
    EXPECT_EQ(main().TQD.text(), "C:\\Fotos\\Urlaub\\*.JPG");
}

TEST_F(SourceDialog, FileClickNamesTheFileAndDoubleClickConfirmsIt) {
    fake.windows.click("Form1", "CQD")
        .select("FrmFile", "File1", 0)
        .call([&] { EXPECT_EQ(dialog().Tfile.text(), "C:\\Fotos\\Urlaub\\c.JPG"); })
        .dblClick("FrmFile", "File1");
    run();
    EXPECT_EQ(main().TQD.text(), "C:\\Fotos\\Urlaub\\c.JPG");
    EXPECT_FALSE(dialog().form.loaded());
}

TEST_F(SourceDialog, HalfTypedPathsMoveTheListsAsFarAsTheyGo) {
    fake.windows.click("Form1", "CQD")
        .type("FrmFile", "Tfile", "C:\\Fotos\\Nirgends\\*.png")
        .call([&] {
            EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos\\Urlaub");
            EXPECT_EQ(list("File1").items, (std::vector<std::string>{"c.JPG"})) << "the pattern step is skipped";
        })
        .type("FrmFile", "Tfile", "*.GIF")
        .call([&] { EXPECT_EQ(list("File1").items, (std::vector<std::string>{"d.gif"})); })
        .type("FrmFile", "Tfile", "C:\\Fotos\\")
        .call([&] {
            EXPECT_EQ(dialog().Dir1.path(), "C:\\Fotos");
            EXPECT_EQ(list("File1").items, (std::vector<std::string>{})) << "the pattern *.GIF stays";
        })
        .key(kEscape);
    run();
}

TEST(FilePart, TextAfterTheLastBackslash) {
    struct Case { const char* text; const char* part; };
    for (const Case& c : {Case{"C:\\*.*", "*.*"}, Case{"C:\\A\\B\\*.JPG  ", "*.JPG"}, Case{"  *.JPG  ", "  *.JPG  "},
                          Case{"C:\\A\\", ""}, Case{"C:\\A\\  x ", "  x"}, Case{"", ""}})
        EXPECT_EQ(filePart(c.text), c.part) << c.text;
}

}  // namespace
}  // namespace pictavo::testing
