#include <gtest/gtest.h>

#include <algorithm>

#include "scenario.h"

namespace pictavo::testing {
namespace {

using Scan = Scenario;

std::vector<std::string> entries(const PicListState& list) {
    return {list.PicList.begin() + 1, list.PicList.begin() + 1 + list.CachedCount};
}

// Sets the source, presses Start and ends the show at its first picture.
void startOn(platform::fake::FakeWindowSystem& windows, const std::string& source) {
    windows.type("Form1", "TQD", source).click("Form1", "Cstart").key(kEscape);
}

TEST_F(Scan, NestedTreeGivesEntriesInListingOrderWithDirectoryNumbers) {
    for (const char* file : {"C:\\Fotos\\a.jpg", "C:\\Fotos\\b.PNG", "C:\\Fotos\\notes.txt", "C:\\Fotos\\Sub1\\c.gif",
                             "C:\\Fotos\\Sub1\\Deep\\d.jpeg", "C:\\Fotos\\Sub2\\e.bmp", "C:\\Fotos\\Sub2\\f.tif"})
        makeFile(file, "x");
    std::filesystem::create_directories(fake.files.host("C:\\Fotos\\ALBUM.JPG"));
    startOn(fake.windows, "C:\\Fotos\\*.*");
    run();
    EXPECT_EQ(entries(state().list),
              (std::vector<std::string>{"C:\\Fotos\\a.jpg|1", "C:\\Fotos\\ALBUM.JPG|1", "C:\\Fotos\\b.PNG|1",
                                        "C:\\Fotos\\Sub1\\c.gif|2", "C:\\Fotos\\Sub1\\Deep\\d.jpeg|3",
                                        "C:\\Fotos\\Sub2\\e.bmp|4"}));
    EXPECT_EQ(state().list.DirCount, 4);
    EXPECT_EQ(std::vector<int>(state().list.DirStart.begin() + 1, state().list.DirStart.begin() + 5),
              (std::vector<int>{1, 4, 5, 6}));
    EXPECT_EQ(fake.system.started, (std::vector<std::string>{
                                       "C:\\WINDOWS\\system32\\cmd.exe /U /C \"C:\\PTAV-DIR.BAT\""}));
    EXPECT_FALSE(fileExists("C:\\PTAV-DIR.BAT"));
    EXPECT_TRUE(fileExists("C:\\TEMP\\PTAV-DIR (C_Fotos) .TMP"));
    EXPECT_TRUE(main().LKill.visible());
    EXPECT_EQ(texts("Form1.Linfo", 3),
              (std::vector<std::string>{"Suche Bilder ...", "Suche Bilder ... |", "Suche Bilder ... ||"}))
        << "the wait lasts until the listing is done";
}

TEST_F(Scan, WithoutSubdirectoriesTheListHoldsBareNamesInOneDirectory) {
    for (const char* file : {"C:\\Fotos\\b.jpg", "C:\\Fotos\\A.GIF", "C:\\Fotos\\Sub\\c.png"}) makeFile(file, "x");
    fake.windows.click("Form1", "CkSub");
    startOn(fake.windows, "C:\\Fotos\\");
    run();
    EXPECT_EQ(main().TQD.text(), "C:\\Fotos\\*.*") << "a directory alone is completed";
    EXPECT_EQ(entries(state().list), (std::vector<std::string>{"A.GIF|0", "b.jpg|0"}));
    EXPECT_EQ(state().list.DirCount, 0);
}

// A batch file left behind by an earlier run does not hold up the reading.
TEST_F(Scan, KeptIndexIsReadWithoutTheInterpreterAfterOneTick) {
    makeFile("C:\\PTAV-DIR.BAT", "@ECHO OFF\r\n");
    makeFile("C:\\TEMP\\PTAV-DIR (C_Alt) .TMP", "C:\\Alt\\x.jpg\r\nC:\\Alt\\y.txt\r\nC:\\Alt\\z.png");
    startOn(fake.windows, "C:\\Alt\\*.*");
    run();
    EXPECT_TRUE(fake.system.started.empty());
    EXPECT_FALSE(fileExists("C:\\PTAV-DIR.BAT"));
    EXPECT_EQ(entries(state().list), (std::vector<std::string>{"C:\\Alt\\x.jpg|1", "C:\\Alt\\z.png|1"}));
    EXPECT_EQ(texts("Form1.Linfo", 4), (std::vector<std::string>{"Suche Bilder ...", "Suche Bilder ... |",
                                                                 "Lese Index, bitte warten ...", ""}));
}

// Events are processed after every line while no picture has come, then once
// per ten pictures, not again for lines that leave the count where it was.
TEST(ScanEvents, AfterEveryLineBeforeTheFirstPictureThenOncePerTenPictures) {
    auto lines = [](const char* stem, int count, const char* ending) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "C:\\Alt\\" + std::string(stem) + std::to_string(i) + ending + "\r\n";
        return text;
    };
    auto eventsReading = [](const std::string& index) {
        Program p;
        p.makeFile("C:\\TEMP\\PTAV-DIR (C_Alt) .TMP", index + "C:\\Alt\\last.jpg\r\n");
        startOn(p.fake.windows, "C:\\Alt\\*.*");
        p.run();
        return p.fake.windows.doEventsCalls;
    };
    const int one = eventsReading("");
    const struct { const char* what; std::string index; int more; } cases[] = {
        {"25 directories first", lines("Ordner", 25, ""), 25},
        {"ten pictures, then 5 directories", lines("p", 10, ".jpg") + lines("Ordner", 5, ""), 1},
        {"19 pictures in all", lines("p", 18, ".jpg"), 1},
    };
    for (const auto& c : cases) EXPECT_EQ(eventsReading(c.index) - one, c.more) << c.what;
}

TEST_F(Scan, KeepIndexOffRebuildsFromTheTree) {
    makeFile("C:\\TEMP\\PTAV-DIR (C_Neu) .TMP", "C:\\Neu\\alt.jpg\r\n");
    makeFile("C:\\Neu\\frisch.jpg", "x");
    store("SaveIndex", "0");
    startOn(fake.windows, "C:\\Neu\\*.*");
    run();
    EXPECT_EQ(fake.system.started.size(), 1u);
    EXPECT_EQ(entries(state().list), (std::vector<std::string>{"C:\\Neu\\frisch.jpg|1"}));
}

TEST(ScanWithBrokenInterpreter, WaitEndsAndTheBatchFileIsGone) {
    for (const bool starts : {false, true}) {
        Program p;
        p.makeFile("C:\\Fotos\\a.jpg", "x");
        p.fake.system.program = nullptr;
        if (starts) p.fake.system.program = [](const std::string&) {};  // dies before its last line
        startOn(p.fake.windows, "C:\\Fotos\\*.*");
        p.run();
        EXPECT_FALSE(p.fileExists("C:\\PTAV-DIR.BAT")) << starts;
        EXPECT_EQ(p.state().list.CachedCount, 0) << starts;
        EXPECT_TRUE(p.main().Cstart.enabled()) << starts;
        // Not started, the batch file left behind, the index not read.
        EXPECT_EQ(p.fake.system.traces.size(), starts ? 2u : 3u) << starts;
    }
}

TEST_F(Scan, SourceWithAQuoteWritesNoBatchFile) {
    makeFile("C:\\Fotos\\a.jpg", "x");
    fake.files.readOnlyDirs.insert("C:\\TEMP");  // would catch a second attempt
    startOn(fake.windows, "C:\\Fotos\\*.*\" & del x & \"");
    run();
    EXPECT_EQ(fake.system.traces.at(0).rfind("no batch file for C:\\Fotos\\*.*\"", 0), 0u);
    EXPECT_TRUE(fake.system.started.empty());
    EXPECT_FALSE(fileExists("C:\\PTAV-DIR.BAT"));
    EXPECT_EQ(state().list.CachedCount, 0);
}

// "%" is doubled, and umlauts, other scripts, "&" and parentheses survive.
TEST_F(Scan, RootThatRefusesNewFilesMovesTheBatchFileToTheTemporaryDirectory) {
    makeFile("C:\\100% Urlaub\\Bär & Ölfeld (1).jpg", "x");
    makeFile("C:\\100% Urlaub\\日本.png", "x");
    fake.files.readOnlyDirs.insert("C:\\");
    std::string written;
    auto real = fake.system.program;
    fake.system.program = [&](const std::string& commandLine) {
        written = *fake.files.readFile("C:\\TEMP\\PTAV-DIR.BAT");
        real(commandLine);
    };
    startOn(fake.windows, "C:\\100% Urlaub\\*.*");
    run();
    EXPECT_EQ(fake.system.started.at(0), "C:\\WINDOWS\\system32\\cmd.exe /U /C \"C:\\TEMP\\PTAV-DIR.BAT\"");
    EXPECT_EQ(written, "@ECHO OFF\r\n"
                       "DIR \"C:\\100%% Urlaub\\*.*\" /b /s /on >\"C:\\TEMP\\PTAV-DIR (C_100%% Urlaub) .TMP\"\r\n"
                       "DEL \"C:\\TEMP\\PTAV-DIR.BAT\" >NUL\r\n");
    EXPECT_FALSE(fileExists("C:\\TEMP\\PTAV-DIR.BAT"));
    EXPECT_EQ(entries(state().list), (std::vector<std::string>{"C:\\100% Urlaub\\Bär & Ölfeld (1).jpg|1",
                                                             "C:\\100% Urlaub\\日本.png|1"}));
    EXPECT_EQ(fake.system.traces.at(0), "batch file C:\\PTAV-DIR.BAT not written");
}

TEST_F(Scan, SourceNamedInAnotherScriptIsListedThroughVariables) {
    makeFile("C:\\Фото 100%\\a.jpg", "x");
    startOn(fake.windows, "C:\\Фото 100%\\*.*");
    run();
    EXPECT_EQ(fake.system.startedWith, (platform::EnvironmentVariables{{"PTAV_1", "Фото"}}));
    EXPECT_EQ(entries(state().list), (std::vector<std::string>{"C:\\Фото 100%\\a.jpg|1"}));
}

}  // namespace
}  // namespace pictavo::testing
