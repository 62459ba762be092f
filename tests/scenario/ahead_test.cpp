#include <gtest/gtest.h>

#include <functional>

#include "scenario.h"

namespace pictavo::testing {
namespace {

using Names = std::vector<std::string>;

// Three directories: A holds a1 to a3, B holds b1 and b2, C holds c1.
void makeTree(Program& p) {
    for (const char* name : {"A\\a1", "A\\a2", "A\\a3", "B\\b1", "B\\b2", "C\\c1"})
        p.makePicture("C:\\Fotos\\" + std::string(name) + ".png", 4, 3);
    p.store("SourceFile", "C:\\Fotos\\*.*");
}

Names names(const std::vector<std::string>& paths) {
    Names result;
    for (const std::string& path : paths) result.push_back(path.substr(path.rfind('\\') + 1, 2));
    return result;
}

// After each kind of key: the picture shown first, then the next one, the
// previous one and the first ones of the next and of the previous directory.
TEST(Ahead, EachPictureAsksForItselfAndWhereItsKeysLead) {
    using Script = std::function<void(platform::fake::FakeWindowSystem&)>;
    const struct {
        const char* what;
        bool loop;
        Script keys;
        Names wanted;
    } cases[] = {
        {"first picture", false, [](auto&) {}, {"a1", "a2", "c1", "b1"}},
        {"next", false, [](auto& w) { w.key(kRight); }, {"a2", "a3", "a1", "b1", "c1"}},
        {"previous", false, [](auto& w) { w.key(kRight).key(kRight).key(kLeft); }, {"a2", "a3", "a1", "b1", "c1"}},
        {"next directory", false, [](auto& w) { w.key(kDown); }, {"b1", "b2", "a3", "c1", "a1"}},
        {"previous directory", false, [](auto& w) { w.key(kDown).key(kDown).key(kUp); }, {"b1", "b2", "a3", "c1", "a1"}},
        {"last picture", false, [](auto& w) { w.key(kLeft); }, {"c1", "b2", "a1", "b1"}},
        {"last picture, endless loop", true, [](auto& w) { w.key(kLeft); }, {"c1", "a1", "b2", "b1"}},
        {"go-to", false, [](auto& w) { w.key('G').type("FrmGoTo", "GoToPic", "5").click("FrmGoTo", "cOk"); },
         {"b2", "c1", "b1", "a1"}},
    };
    for (const auto& c : cases) {
        Program p;
        makeTree(p);
        p.store("Loop", c.loop ? "1" : "0");
        p.fake.windows.click("Form1", "Cstart");
        c.keys(p.fake.windows);
        p.fake.windows.call([&] { EXPECT_EQ(names(p.fake.pictures.prefetched.back()), c.wanted) << c.what; })
            .key(kEscape);
        p.run();
        EXPECT_TRUE(p.fake.pictures.prefetched.back().empty()) << c.what << ": the end of the show lets go of all";
    }
}

TEST(Ahead, KeysFasterThanDecodingDropWhatIsNoLongerWanted) {
    Program p;
    makeTree(p);
    p.fake.windows.click("Form1", "Cstart")
        .key(kDown)  // before a2, asked for at a1, was decoded
        .call([&] { p.fake.pictures.decodeAhead(); })
        .key(kRight)
        .key(kEscape);
    p.run();
    EXPECT_EQ(names(p.fake.pictures.loaded), (Names{"a1", "b1", "b2"}));
    EXPECT_EQ(names(p.fake.pictures.decoded), (Names{"a1", "b1", "b2", "a3", "c1"}))
        << "a2 never decoded; b2 decoded once, ahead";
}

}  // namespace
}  // namespace pictavo::testing
