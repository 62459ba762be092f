// The form engine on the in-memory window system: the behaviour every window
// of the program relies on.

#include "platform/form.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_windows.h"
#include "platform/key_codes.h"

namespace pictavo::platform {
namespace {

using namespace keys;

FormLayout testLayout(bool keyPreview = false) {
    FormLayout layout{.name = "Test", .caption = "Titel", .keyPreview = keyPreview};
    layout.controls = {
        {.name = "Frame", .kind = ControlKind::Frame, .tabIndex = 0},
        {.name = "Label", .kind = ControlKind::Label, .caption = "Quelle", .tabIndex = 1},
        {.name = "Text", .kind = ControlKind::TextBox, .left = 10, .width = 300, .caption = "C:\\*.*", .tabIndex = 4},
        {.name = "Check", .kind = ControlKind::CheckBox, .tabIndex = 3, .value = 1},
        {.name = "Scroll", .kind = ControlKind::HScrollBar, .tabIndex = 5, .value = 5, .min = 0, .max = 10},
        {.name = "List", .kind = ControlKind::ListBox, .tabIndex = 6},
        {.name = "Ok", .kind = ControlKind::Button, .tabIndex = 2, .role = Role::Default},
        {.name = "Cancel", .kind = ControlKind::Button, .tabIndex = 7, .role = Role::Cancel},
    };
    return layout;
}

// A form whose handlers count their calls by name ("Text.Change", "Load", ...).
struct Counted {
    explicit Counted(bool keyPreview = false) : form(windows, testLayout(keyPreview)) {
        form.onLoad = count("Load");
        form.onUnload = count("Unload");
        for (const char* name : {"Text", "Label", "Scroll"}) form[name].onChange = count(std::string(name) + ".Change");
        for (const char* name : {"Check", "List", "Ok", "Cancel"}) form[name].onClick = count(std::string(name) + ".Click");
    }
    std::function<void()> count(const std::string& name) {
        return [this, name] { ++calls[name]; };
    }
    fake::FakeNativeForm* native() { return windows.find("Test"); }
    int indexOf(const char* control) { return native()->indexOf(control); }
    bool send(EventKind kind, const char* control = nullptr, int value = 0, const std::string& text = {}) {
        return native()->sink().onEvent({kind, control ? indexOf(control) : kFormItself, value, text});
    }

    fake::FakeClock clock;
    fake::FakeWindowSystem windows{clock};
    Form form;
    std::map<std::string, int> calls;
};

TEST(FormEngine, AnyTouchLoadsTheFormOnce) {
    const std::vector<std::pair<const char*, std::function<void(Form&)>>> touches = {
        {"text", [](Form& f) { f["Text"].text(); }},          {"setText", [](Form& f) { f["Label"].setText("x"); }},
        {"setValue", [](Form& f) { f["Check"].setValue(0); }}, {"setMin", [](Form& f) { f["Scroll"].setMin(2); }},
        {"visible", [](Form& f) { f["Text"].visible(); }},    {"setTop", [](Form& f) { f["Text"].setTop(5); }},
        {"items", [](Form& f) { f["List"].items(); }},        {"refresh", [](Form& f) { f["Text"].refresh(); }},
        {"caption", [](Form& f) { f.caption(); }},            {"hide", [](Form& f) { f.hide(); }},
    };
    for (const auto& [what, touch] : touches) {
        Counted t;
        t.form.onLoad = [&t] {
            ++t.calls["Load"];
            t.form["Text"].text();  // a touch while loading loads nothing more
        };
        touch(t.form);
        EXPECT_NE(t.native(), nullptr) << what;
        EXPECT_EQ(t.calls["Load"], 1) << what;
    }
}

TEST(FormEngine, UnloadPutsEveryPropertyBackToTheLayout) {
    Counted t;
    Form& f = t.form;
    auto readings = [&f] {
        const auto n = [](double v) { return std::to_string(v); };
        return std::vector<std::string>{f["Text"].text(),          f.caption(),                 n(f["Text"].enabled()),
                                        n(f["Text"].visible()),    n(f["Text"].left()),         n(f["Check"].value()),
                                        n(f["Scroll"].max()),      n(f["Scroll"].value()),      n(f["List"].listIndex()),
                                        n(f["List"].items().size()), n(f["Text"].stretch()),    n(f.visibleNow())};
    };
    const std::vector<std::string> design = readings();
    f["Text"].setText("D:\\");
    f.setCaption("Neu");
    f["Text"].setEnabled(false);
    f["Text"].setVisible(false);
    f["Text"].setLeft(99);
    f["Check"].setValue(2);
    f["Scroll"].setMax(3);
    f["List"].setItems({"a", "b"});
    f["List"].setListIndex(1);
    f["Text"].setStretch(true);
    f.show();
    const std::vector<std::string> changed = readings();
    for (std::size_t i = 0; i < design.size(); ++i) ASSERT_NE(changed[i], design[i]) << "reading " << i;
    f.unload();
    EXPECT_EQ(t.calls["Unload"], 1);
    EXPECT_EQ(t.native(), nullptr);
    EXPECT_EQ(readings(), design);
    EXPECT_EQ(t.calls["Load"], 2);
}

TEST(FormEngine, ChangeAndClickHandlersRunOnlyWhenTheValueDiffers) {
    Counted t;
    Control& list = t.form["List"];
    list.setItems({"a", "b"});
    const struct {
        const char* what;
        std::function<void()> act;
        const char* handler;
        int runs;
        const char* control;
        int value;  // the control's value (list index for the list) afterwards
    } steps[] = {
        {"same text", [&] { t.form["Text"].setText("C:\\*.*"); }, "Text.Change", 0, "Check", 1},
        {"new text", [&] { t.form["Text"].setText("D:\\*.*"); }, "Text.Change", 1, "Check", 1},
        {"typed same text", [&] { t.send(EventKind::TextChanged, "Text", 0, "D:\\*.*"); }, "Text.Change", 0, "Check", 1},
        {"typed new text", [&] { t.send(EventKind::TextChanged, "Text", 0, "E:\\"); }, "Text.Change", 1, "Check", 1},
        {"a label has no change handler", [&] { t.form["Label"].setText("neu"); }, "Label.Change", 0, "Check", 1},
        {"same check value", [&] { t.form["Check"].setValue(1); }, "Check.Click", 0, "Check", 1},
        {"grayed", [&] { t.form["Check"].setValue(2); }, "Check.Click", 1, "Check", 2},
        {"a click checks a grayed box", [&] { t.send(EventKind::Click, "Check"); }, "Check.Click", 1, "Check", 1},
        {"a click unchecks", [&] { t.send(EventKind::Click, "Check"); }, "Check.Click", 1, "Check", 0},
        {"beyond the maximum is held", [&] { t.form["Scroll"].setValue(99); }, "Scroll.Change", 1, "Scroll", 10},
        {"again beyond it", [&] { t.form["Scroll"].setValue(50); }, "Scroll.Change", 0, "Scroll", 10},
        {"user scrolls below", [&] { t.send(EventKind::Scrolled, "Scroll", -5); }, "Scroll.Change", 1, "Scroll", 0},
        {"narrower range", [&] { t.form["Scroll"].setMin(3); }, "Scroll.Change", 1, "Scroll", 3},
        {"list index", [&] { list.setListIndex(1); }, "List.Click", 1, "List", 1},
        {"same list index", [&] { list.setListIndex(1); }, "List.Click", 0, "List", 1},
        {"beyond the items", [&] { list.setListIndex(2); }, "List.Click", 1, "List", -1},
        {"user selects", [&] { t.send(EventKind::Click, "List", 0); }, "List.Click", 1, "List", 0},
    };
    for (const auto& s : steps) {
        const int before = t.calls[s.handler];
        s.act();
        EXPECT_EQ(t.calls[s.handler] - before, s.runs) << s.what;
        Control& c = t.form[s.control];
        EXPECT_EQ(std::string(s.control) == "List" ? c.listIndex() : c.value(), s.value) << s.what;
    }
}

TEST(FormEngine, ModalLoopsNestAndEachEndsWhenItsFormGoes) {
    for (const bool unload : {false, true}) {
        Counted t;
        Form dialog(t.windows, FormLayout{.name = "Dialog", .controls = {{.name = "Close", .kind = ControlKind::Button}}});
        std::vector<std::string> order;
        t.form["Ok"].onClick = [&] {
            dialog.showModal();
            order.push_back("dialog returned");
        };
        dialog["Close"].onClick = [&] { unload ? dialog.unload() : dialog.hide(); };
        t.form["Cancel"].onClick = [&] { t.form.hide(); };
        // The click on Cancel meanwhile is refused: the dialog is modal.
        t.windows.click("Test", "Ok").click("Test", "Cancel").click("Dialog", "Close").click("Test", "Cancel");
        t.form.showModal();
        order.push_back("form returned");
        EXPECT_EQ(order, (std::vector<std::string>{"dialog returned", "form returned"})) << unload;
        EXPECT_EQ(t.windows.undelivered, 1) << unload;
        EXPECT_TRUE(t.windows.scriptDone()) << unload;
        EXPECT_FALSE(t.windows.exhaustedInModal) << unload;
    }
}

TEST(FormEngine, KeysReachThePreviewThenTheDefaultOrCancelButton) {
    const struct {
        const char* what;
        bool preview, previewTakes;
        const char* focus;
        const char* disabled;
        int key;
        const char* clicked;  // or nullptr
        bool consumed;
    } cases[] = {
        {"Enter presses the default button", false, false, "Text", nullptr, kEnter, "Ok.Click", true},
        {"Enter on a button presses that one", false, false, "Cancel", nullptr, kEnter, "Cancel.Click", true},
        {"Esc presses the cancel button", false, false, "Ok", nullptr, kEscape, "Cancel.Click", true},
        {"a disabled default button", false, false, "Text", "Ok", kEnter, nullptr, false},
        {"a disabled cancel button", false, false, "Text", "Cancel", kEscape, nullptr, false},
        {"other keys go to the control", false, false, "Text", nullptr, 'A', nullptr, false},
        {"a preview that takes the key", true, true, "Text", nullptr, kEnter, nullptr, true},
        {"a preview that passes it on", true, false, "Text", nullptr, kEnter, "Ok.Click", true},
        {"no preview without key preview", false, true, "Text", nullptr, kEnter, "Ok.Click", true},
    };
    for (const auto& c : cases) {
        Counted t(c.preview);
        t.form.onKeyDown = [&](int key) {
            ++t.calls["KeyDown." + std::to_string(key)];
            return c.previewTakes;
        };
        t.form.show();
        t.form[c.focus].setFocus();
        if (c.disabled) t.form[c.disabled].setEnabled(false);
        EXPECT_EQ(t.send(EventKind::KeyDown, nullptr, c.key), c.consumed) << c.what;
        EXPECT_EQ(t.calls["KeyDown." + std::to_string(c.key)], c.preview ? 1 : 0) << c.what;
        for (const char* name : {"Ok.Click", "Cancel.Click"})
            EXPECT_EQ(t.calls[name], c.clicked && name == std::string(c.clicked) ? 1 : 0) << c.what << ": " << name;
    }
}

TEST(FormEngine, FirstShowFocusesTheFirstControlInTabOrderThatCanTakeIt) {
    const struct { std::vector<const char*> hidden, disabled; const char* focused; } cases[] = {
        {{}, {}, "Ok"},  // frames and labels take no focus
        {{}, {"Ok"}, "Check"},
        {{"Ok"}, {"Check"}, "Text"},
    };
    for (const auto& c : cases) {
        Counted t;
        for (const char* name : c.hidden) t.form[name].setVisible(false);
        for (const char* name : c.disabled) t.form[name].setEnabled(false);
        t.form.show();
        EXPECT_EQ(t.native()->focus(), t.indexOf(c.focused)) << c.focused;
    }
    Counted t;
    t.form.show();
    t.form["Scroll"].setFocus();
    t.form.hide();
    t.form.show();
    EXPECT_EQ(t.native()->focus(), t.indexOf("Scroll")) << "showing again keeps the focus where it was";
    t.form.unload();
    t.form.show();
    EXPECT_EQ(t.native()->focus(), t.indexOf("Ok")) << "a new window starts over";
}

TEST(FormEngine, TheCloseBoxAsksTheQueryUnloadHandler) {
    const struct {
        const char* what;
        std::function<bool()> handler;
        bool stays;
    } cases[] = {
        {"no handler", nullptr, false}, {"refused", [] { return true; }, true}, {"allowed", [] { return false; }, false}};
    for (const auto& c : cases) {
        Counted t;
        t.form.onQueryUnload = c.handler;
        t.form.show();
        t.send(EventKind::CloseBox);
        EXPECT_EQ(t.form.loaded(), c.stays) << c.what;
        EXPECT_EQ(t.calls["Unload"], c.stays ? 0 : 1) << c.what;
    }
}

TEST(FormEngine, QuitEndsTheModalLoopAndNothingLoadsAfterIt) {
    Counted t;
    t.form["Ok"].onClick = [&] { t.windows.quit(); };
    t.windows.click("Test", "Ok").click("Test", "Cancel");
    t.form.showModal();
    EXPECT_EQ(t.calls["Cancel.Click"], 0) << "the loop ended at the quit";
    t.form.unload();
    t.form["Text"].text();
    t.form.showModal();
    EXPECT_FALSE(t.form.loaded());
    EXPECT_EQ(t.calls["Load"], 1);
}

TEST(FormEngine, AControlIsRepaintedOnlyWhenSomethingAboutItChanged) {
    Counted t;
    Control& text = t.form["Text"];
    const struct {
        const char* what;
        std::function<void()> act;
        int repaints;  // of the control's window so far
    } steps[] = {
        {"first refresh", [] {}, 1},
        {"nothing changed", [] {}, 1},
        {"same text", [&] { text.setText("C:\\*.*"); }, 1},
        {"new text", [&] { text.setText("D:\\"); }, 2},
        {"typed text", [&] { t.send(EventKind::TextChanged, "Text", 0, "E:\\"); }, 3},
        {"disabled", [&] { text.setEnabled(false); }, 4},
        {"moved", [&] { text.setLeft(50); }, 5},
        {"a new window", [&] { t.form.unload(); }, 1},
    };
    for (const auto& s : steps) {
        s.act();
        text.refresh();
        EXPECT_EQ(t.native()->control("Text").repaints, s.repaints) << s.what;
    }
}

}  // namespace
}  // namespace pictavo::platform
