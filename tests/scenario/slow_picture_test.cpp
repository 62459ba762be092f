// Pictures whose decoding is slow or fails in the worker (the fake stands in
// for it): the show takes keys meanwhile, shows the error line and goes on.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "scenario.h"

namespace pictavo::testing {
namespace {

using Names = std::vector<std::string>;
using Decoding = platform::fake::FakePictureLoader::Decoding;

const std::string kSecond = "C:\\Fotos\\A\\2.png";

Names loaded(Program& p) {
    Names names;
    for (const std::string& path : p.fake.pictures.loaded) names.push_back(path.substr(path.rfind('\\') + 1, 1));
    return names;
}

bool errorLineShown(Program& p) {
    const auto& captions = p.fake.windows.textLog["FrmPic.LBild1"];
    return std::find(captions.begin(), captions.end(),
                     kSecond + " [2/3]\rFEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!") != captions.end();
}

// Three pictures, two seconds each; the worker fares with the second as the
// case says. Each script starts with the first picture on the screen.
TEST(SlowPicture, TheShowTakesKeysMeanwhileShowsTheErrorLineAndGoesOn) {
    using Script = std::function<void(Program&)>;
    const Decoding crash{0, true}, overMemory{3, true}, hang{5, true}, slow{4, false};
    const struct {
        const char* what;
        Decoding second;
        Script script;
        Names loaded;
        bool error;
    } cases[] = {
        {"crash", crash, [](Program& p) { p.fake.windows.tick(10); }, {"1", "2", "3"}, true},
        {"memory limit", overMemory, [](Program& p) { p.fake.windows.tick(10); }, {"1", "2", "3"}, true},
        {"time limit", hang, [](Program& p) { p.fake.windows.tick(10); }, {"1", "2", "3"}, true},
        {"slow: its display time starts when it is there", slow,
         [](Program& p) {
             p.fake.windows.tick(2).tick(4).call([&p] { EXPECT_EQ(loaded(p), (Names{"1", "2"})); }).tick(1).call(
                 [&p] { EXPECT_EQ(loaded(p), (Names{"1", "2", "3"})); }).tick(2);
         },
         {"1", "2", "3"}, false},
        {"Right during a hang: the error line, then the next picture", hang,
         [](Program& p) {
             p.fake.windows.tick(2).key(kRight).call([&p] { EXPECT_EQ(loaded(p), Names{"1"}); }).tick(5).key(kEscape);
         },
         {"1", "2", "3"}, true},
        {"Space during a hang pauses the show", hang,
         [](Program& p) { p.fake.windows.tick(2).key(kSpace).tick(20).key(kEscape); }, {"1", "2"}, true},
        {"Esc during a slow decode ends the show without it", Decoding{60, false},
         [](Program& p) {
             p.fake.windows.tick(3).key(kEscape).call([&p] {
                 EXPECT_TRUE(p.window("Form1")->shown());
                 EXPECT_LT(p.fake.clock.nowMs, 60'000);
             });
         },
         {"1"}, false},
        {"a hang met ahead does not delay the picture a key asks for", hang,
         [](Program& p) {
             auto started = std::make_shared<std::int64_t>();
             p.fake.windows.call([&p, started] { *started = p.fake.clock.nowMs, p.fake.pictures.decodeAhead(); })
                 .key(kLeft)
                 .call([&p, started] {
                     EXPECT_EQ(loaded(p), (Names{"1", "3"}));
                     EXPECT_EQ(p.fake.clock.nowMs, *started);
                 })
                 .key(kLeft)
                 .tick(5)
                 .key(kEscape);
         },
         {"1", "3", "2"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Program p;
        for (const char* name : {"1", "2", "3"}) p.makePicture("C:\\Fotos\\A\\" + std::string(name) + ".png", 4, 3);
        p.store("SourceFile", "C:\\Fotos\\*.*");
        p.store("Wait", "2");
        p.fake.pictures.decodings[kSecond] = c.second;
        p.fake.windows.click("Form1", "Cstart");
        c.script(p);
        p.run();
        EXPECT_EQ(loaded(p), c.loaded);
        EXPECT_EQ(errorLineShown(p), c.error);
        EXPECT_TRUE(p.window("Form1")->shown()) << "the show ended";
    }
}

// The first picture's display time starts when it is on the screen, however
// long it took to decode: two seconds, then the second picture.
TEST(SlowPicture, TheFirstPictureKeepsItsDisplayTime) {
    for (const int decodeSeconds : {0, 1, 3}) {
        SCOPED_TRACE(decodeSeconds);
        Program p;
        for (const char* name : {"1", "2", "3"}) p.makePicture("C:\\Fotos\\A\\" + std::string(name) + ".png", 4, 3);
        p.store("SourceFile", "C:\\Fotos\\*.*");
        p.store("Wait", "2");
        p.fake.pictures.decodings["C:\\Fotos\\A\\1.png"] = {decodeSeconds, false};
        p.fake.windows.click("Form1", "Cstart")
            .tick(decodeSeconds + 1)
            .call([&p] { EXPECT_EQ(loaded(p), Names{"1"}); })
            .tick(1)
            .call([&p] { EXPECT_EQ(loaded(p), (Names{"1", "2"})); })
            .key(kEscape);
        p.run();
    }
}

// Keys typed while the second picture decodes act once it is on the screen,
// one after another, as if typed then.
TEST(SlowPicture, KeysTypedDuringADecodeKeepTheirOrder) {
    const struct {
        const char* what;
        std::vector<int> keys;
        Names loaded;
        bool endsShow;
    } cases[] = {
        {"Right then Left: back where the user was", {kRight, kLeft}, {"1", "2", "3", "2"}, false},
        {"Left, Right, Right", {kLeft, kRight, kRight}, {"1", "2", "1", "2", "3"}, false},
        {"Down then Up", {kDown, kUp}, {"1", "2", "3", "1"}, false},
        {"G then Esc: the dialog closes, the position stays", {'G', kEscape}, {"1", "2", "2"}, false},
        {"G, Esc, Esc: the dialog closes, then the show ends", {'G', kEscape, kEscape}, {"1", "2", "2"}, true},
        {"Right then Esc: the show ends at once", {kRight, kEscape}, {"1"}, true},
        {"Space then Esc", {kSpace, kEscape}, {"1"}, true},
        {"Space then Right", {kSpace, kRight}, {"1", "2", "3"}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Program p;
        for (const char* name : {"A\\1", "A\\2", "B\\3", "B\\4"}) p.makePicture("C:\\Fotos\\" + std::string(name) + ".png", 4, 3);
        p.store("SourceFile", "C:\\Fotos\\*.*");
        p.store("Wait", "0");
        p.fake.pictures.decodings[kSecond] = {4, false};
        p.fake.windows.click("Form1", "Cstart").key(kRight);
        for (int key : c.keys) p.fake.windows.key(key);
        p.fake.windows.tick(4);
        if (!c.endsShow) p.fake.windows.key(kEscape);
        p.run();
        EXPECT_EQ(loaded(p), c.loaded);
        EXPECT_TRUE(p.window("Form1")->shown()) << "the show ended";
        const bool askedForNumber = !p.fake.windows.textLog["FrmGoTo.GoToMax"].empty();
        EXPECT_EQ(askedForNumber, c.keys.front() == 'G');
    }
}

}  // namespace
}  // namespace pictavo::testing
