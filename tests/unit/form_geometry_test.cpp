// Where a backend puts a form's controls, whether they show and take input
// through the frames around them, and which lies above which.

#include "platform/form_geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_windows.h"

namespace pictavo::platform {
namespace {

enum : int { kOuter, kInner, kText, kStart, kCaption, kShadow, kImage, kAuto, kRule, kSlash, kTimer, kFlat };

FormLayout layout() {
    using enum ControlKind;
    FormLayout form{.name = "Test", .clientWidth = 6000, .clientHeight = 4000};
    form.controls = {
        {.name = "Outer", .kind = Frame, .left = 100, .top = 200, .width = 4000, .height = 3000},
        {.name = "Inner", .kind = Frame, .parent = "Outer", .left = 300, .top = 450, .width = 2000, .height = 1500},
        {.name = "Text", .kind = TextBox, .parent = "Inner", .left = 150, .top = 300, .width = 1500, .height = 285,
         .tabIndex = 1},
        {.name = "Start", .kind = Button, .left = 150, .top = 2200, .width = 1155, .height = 405, .tabIndex = 0},
        {.name = "Caption", .kind = Label, .width = 1500, .height = 600, .transparent = true},
        {.name = "Shadow", .kind = Label, .left = 15, .top = 15, .width = 1500, .height = 600, .transparent = true},
        {.name = "Image", .kind = Image, .width = 3000, .height = 1500},
        {.name = "Auto", .kind = Label, .parent = "Outer", .left = 60, .top = 90, .width = 10, .height = 10,
         .autoSize = true},
        // Lines hold their second point in width and height.
        {.name = "Rule", .kind = Line, .left = 150, .top = 1800, .width = 3000, .height = 1800},
        {.name = "Slash", .kind = Line, .parent = "Inner", .left = 3000, .top = 100, .width = 100, .height = 2000,
         .foreColor = rgb(255, 0, 0)},
        {.name = "Timer", .kind = Timer},
        {.name = "Flat", .kind = Label, .parent = "Start", .left = 30, .top = 30, .width = -100, .height = 300},
    };
    return form;
}

TEST(FormGeometry, RectanglesInPixelsOfTheDpiThroughNestedFrames) {
    const FormGeometry geometry(layout());
    const struct {
        int control;
        unsigned dpi;
        PixelSize text;
        PixelRect expected;
    } cases[] = {
        // Text: 150 + 300 + 100 = 550 twips across, 300 + 450 + 200 = 950 down.
        {kText, 96, {}, {37, 63, 137, 82}},
        {kText, 120, {}, {46, 79, 171, 103}},
        {kText, 144, {}, {55, 95, 205, 124}},  // 28.5 pixels high rounds up
        {kText, 192, {}, {73, 127, 273, 165}},
        {kStart, 96, {}, {10, 147, 87, 174}},
        {kOuter, 144, {}, {10, 20, 410, 320}},
        // A self-sizing label takes its text's size at its place.
        {kAuto, 96, {57, 16}, {11, 19, 68, 35}},
        {kAuto, 192, {114, 32}, {21, 39, 135, 71}},
        {kAuto, 96, {0, 13}, {11, 19, 11, 32}},
        // An etched line is two pixels wide, a coloured one one pixel.
        {kRule, 96, {}, {10, 120, 202, 122}},
        {kRule, 144, {}, {15, 180, 302, 182}},
        {kSlash, 96, {}, {33, 50, 228, 178}},
        // A negative width leaves nothing; the parent is no frame, so the
        // label lies on the form itself.
        {kFlat, 96, {}, {2, 2, 2, 22}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << layout().controls[static_cast<std::size_t>(c.control)].name << " at "
                                        << c.dpi << " dpi");
        EXPECT_EQ(geometry.pixelRect(c.control, c.dpi, c.text), c.expected);
    }
    EXPECT_FALSE(geometry.sizesToText(kCaption));
    EXPECT_TRUE(geometry.sizesToText(kAuto));
    EXPECT_TRUE(geometry.lineFromTopLeft(kRule));
    EXPECT_FALSE(geometry.lineFromTopLeft(kSlash)) << "from the bottom-left to the top-right";
}

TEST(FormGeometry, TwipsAndPixelsConvertAtEveryDpi) {
    const struct {
        double twips;
        unsigned dpi;
        int pixels;
    } cases[] = {{1440, 96, 96}, {15, 96, 1}, {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {1440, 120, 120},
                 {12, 120, 1},   {1440, 144, 144}, {1440, 192, 192}, {11520, 96, 768}};
    for (const auto& c : cases) {
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
        EXPECT_NEAR(pixelsToTwips(c.pixels, c.dpi), c.twips, 1440.0 / c.dpi / 2) << c.pixels << " at " << c.dpi;
    }
}

TEST(FormGeometry, MovingAFrameCarriesEverythingInItAlong) {
    FormGeometry geometry(layout());
    EXPECT_EQ(geometry.parent(kText), kInner);
    EXPECT_EQ(geometry.parent(kInner), kOuter);
    EXPECT_EQ(geometry.parent(kFlat), kFormItself);
    EXPECT_EQ(geometry.withContents(kOuter), (std::vector<int>{kOuter, kInner, kText, kAuto, kSlash}));
    EXPECT_EQ(geometry.withContents(kText), (std::vector<int>{kText}));

    geometry.setBounds(kOuter, {1540, 200, 4000, 3000});
    EXPECT_EQ(geometry.pixelRect(kText, 96).left, 133);  // 1540 + 300 + 150 twips
    geometry.setBounds(kText, {0, 0, 1000, 300});
    EXPECT_EQ(geometry.pixelRect(kText, 96), (PixelRect{123, 43, 190, 63}));
}

TEST(FormGeometry, AHiddenOrDisabledFrameHidesOrDisablesWhatItHolds) {
    // Each step sets one flag; the flags set before stay.
    enum class Flag { Visible, Enabled };
    const struct {
        Flag flag;
        int control;
        bool value;
        bool text, inner, start;  // whether each shows (Visible) or takes input (Enabled) then
    } steps[] = {
        {Flag::Visible, kText, false, false, true, true},
        {Flag::Visible, kOuter, false, false, false, true},
        {Flag::Visible, kText, true, false, false, true},  // shown inside a hidden frame
        {Flag::Visible, kInner, false, false, false, true},
        {Flag::Visible, kOuter, true, false, false, true},  // the inner frame is still hidden
        {Flag::Visible, kInner, true, true, true, true},
        {Flag::Enabled, kOuter, false, false, false, true},
        {Flag::Enabled, kInner, false, false, false, true},
        {Flag::Enabled, kOuter, true, false, false, true},
        {Flag::Enabled, kInner, true, true, true, true},
        {Flag::Enabled, kStart, false, true, true, false},
    };
    FormGeometry geometry(layout());
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << (s.flag == Flag::Visible ? "visible " : "enabled ") << s.control << " "
                                        << s.value);
        auto effective = [&](int i) {
            return s.flag == Flag::Visible ? geometry.effectiveVisible(i) : geometry.effectiveEnabled(i);
        };
        if (s.flag == Flag::Visible)
            geometry.setVisible(s.control, s.value);
        else
            geometry.setEnabled(s.control, s.value);
        EXPECT_EQ((std::vector<bool>{effective(kText), effective(kInner), effective(kStart)}),
                  (std::vector<bool>{s.text, s.inner, s.start}));
    }
}

TEST(FormGeometry, ControlsHiddenByTheirLayoutAndCircularFramesEndTheirWalks) {
    FormLayout form = layout();
    form.controls[kInner].visible = false;
    // Each frame names the other: no frame holds the other in fact.
    form.controls[kOuter].parent = "Inner";
    const FormGeometry geometry(form);
    EXPECT_FALSE(geometry.effectiveVisible(kText));
    EXPECT_FALSE(geometry.effectiveVisible(kOuter));
    EXPECT_TRUE(geometry.effectiveVisible(kStart));
    EXPECT_TRUE(geometry.inside(kText, kOuter));
    EXPECT_EQ(geometry.pixelRect(kStart, 96), (PixelRect{10, 147, 87, 174}));
    EXPECT_EQ(geometry.zOrder().size(), form.controls.size());
}

TEST(FormGeometry, ZOrderPutsTabStopsOnTopAndFramesBelowTheirContents) {
    FormLayout form = layout();
    std::swap(form.controls[kOuter], form.controls[kInner]);  // inner listed first: the order comes from depth
    const FormGeometry geometry(form);
    // Indexes into the swapped layout: Inner is 0, Outer 1.
    EXPECT_EQ(geometry.zOrder(),
              (std::vector<int>{kStart, kText, kCaption, kShadow, kImage, kAuto, kRule, kSlash, kTimer, kFlat,
                                kOuter, kInner}));
    EXPECT_EQ(geometry.zRank(kStart), 0);
    EXPECT_LT(geometry.zRank(kOuter), geometry.zRank(kInner)) << "the inner frame, now at index 0, lies above";
    EXPECT_EQ(geometry.tabOrder(), (std::vector<int>{kStart, kText}));

    // What transparent labels show through and must be drawn again for.
    EXPECT_EQ(geometry.seenThrough(kCaption), (std::vector<int>{kImage, kShadow})) << "bottom first";
    EXPECT_EQ(geometry.seenThrough(kShadow), (std::vector<int>{kImage}));
    EXPECT_EQ(geometry.transparentAbove(kImage), (std::vector<int>{kCaption, kShadow}));
    EXPECT_EQ(geometry.transparentAbove(kCaption), (std::vector<int>{}));
    EXPECT_TRUE(geometry.paintedLabel(kAuto));
    EXPECT_FALSE(geometry.paintedLabel(kCaption));
}

TEST(FormGeometry, TheInMemoryWindowSystemDeliversNoInputToAControlInAHiddenOrDisabledFrame) {
    fake::FakeClock clock;
    fake::FakeWindowSystem windows{clock};
    struct Sink : EventSink {
        bool onEvent(const NativeEvent& event) override {
            if (event.kind == EventKind::TextChanged) ++changes;
            return true;
        }
        int changes = 0;
    } sink;
    auto native = windows.createForm(layout(), sink);
    native->show();
    const struct {
        bool outerVisible, innerEnabled;
        int changes;
    } cases[] = {{true, true, 1}, {false, true, 0}, {true, false, 0}, {true, true, 1}};
    for (const auto& c : cases) {
        native->setVisible(kOuter, c.outerVisible);
        native->setEnabled(kInner, c.innerEnabled);
        sink.changes = 0;
        windows.type("Test", "Text", "x");
        windows.runLoop(nullptr, [] { return true; });
        EXPECT_EQ(sink.changes, c.changes) << c.outerVisible << " " << c.innerEnabled;
    }
}

}  // namespace
}  // namespace pictavo::platform
