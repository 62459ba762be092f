// Forms built from layouts as real windows: what the engine pushes shows in
// the controls, and what the user does comes back as events.

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_effects.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_picture.h"
#include "platform/win32/win32_window_system.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

using testing::RecordingSink;
using testing::windowText;

enum : int { kFrame, kText, kCheck, kScroll, kLabel, kAuto, kStart, kEnd, kList, kTimer };

FormLayout mainSpec() {
    using enum ControlKind;
    FormLayout layout{.name = "Form1", .caption = "Pictavo Test", .clientWidth = 6555, .clientHeight = 3735,
                      .left = 1500, .top = 1500};
    layout.controls = {
        {.name = "Frame1", .kind = Frame, .left = 90, .top = 60, .width = 3555, .height = 705,
         .caption = "Quell-Datei(en):"},
        {.name = "TQD", .kind = TextBox, .parent = "Frame1", .left = 150, .top = 270, .width = 2865, .height = 285,
         .caption = "C:\\*.*", .tooltip = " Quell-Verzeichnis und Dateiname(n) ", .tabIndex = 1},
        {.name = "CkSub", .kind = CheckBox, .left = 150, .top = 900, .width = 3000, .height = 285,
         .caption = "&Unterverzeichnisse", .tabIndex = 2},
        {.name = "HS1", .kind = HScrollBar, .left = 150, .top = 1300, .width = 1965, .height = 285, .tabIndex = 3,
         .value = 5, .min = 0, .max = 60, .smallChange = 1, .largeChange = 5},
        {.name = "Lsek", .kind = Label, .left = 2160, .top = 1300, .width = 435, .height = 255, .caption = "5 s"},
        {.name = "Lauto", .kind = Label, .left = 150, .top = 1700, .width = 10, .height = 10, .caption = "x",
         .font = {"Arial", 8.25, true}, .autoSize = true},
        {.name = "Cstart", .kind = Button, .left = 150, .top = 2200, .width = 1155, .height = 405, .caption = "&Start",
         .tabIndex = 0, .role = Role::Default},
        {.name = "CEnd", .kind = Button, .left = 1410, .top = 2200, .width = 1155, .height = 405, .caption = "E&xit",
         .tabIndex = 4, .role = Role::Cancel},
        {.name = "List", .kind = ListBox, .left = 3750, .top = 60, .width = 2000, .height = 1000, .tabIndex = 5},
        {.name = "Timer1", .kind = Timer},
    };
    return layout;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        form = windows.createForm(mainSpec(), sink);
        ASSERT_NE(form, nullptr);
        dpi = windowDpi(hwnd());
    }
    void TearDown() override {
        form.reset();
        windows.doEvents();
    }
    Win32Form& native() { return static_cast<Win32Form&>(*form); }
    HWND hwnd() { return native().hwnd(); }
    HWND child(int index) { return native().controlWindow(index); }
    int px(double twips) const { return twipsToPixels(twips, dpi); }
    RECT clientRectOf(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // A form like the show's waiting window: no border, no size, key preview.
    std::unique_ptr<NativeForm> waitingForm(RecordingSink& waitSink) {
        FormLayout layout;
        layout.name = "FrmWait";
        layout.border = Border::None;
        layout.keyPreview = true;
        return windows.createForm(layout, waitSink);
    }
    void post(HWND target, UINT message, WPARAM key) {
        const UINT scan = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
        PostMessageW(target, message, key, static_cast<LPARAM>(1 | (scan << 16)));
    }

    Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    RecordingSink sink;
    std::unique_ptr<NativeForm> form;
    UINT dpi = 96;
};

TEST_F(WindowTest, EveryControlIsTheRealWin32Control) {
    const struct { int index; const wchar_t* className; LONG style; } cases[] = {
        {kFrame, L"Button", BS_GROUPBOX},       {kText, L"Edit", ES_AUTOHSCROLL},
        {kCheck, L"Button", BS_3STATE},         {kScroll, L"ScrollBar", SBS_HORZ},
        {kLabel, L"Static", SS_NOTIFY},         {kStart, L"Button", BS_DEFPUSHBUTTON},
        {kEnd, L"Button", BS_PUSHBUTTON},       {kList, L"ListBox", LBS_NOTIFY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        wchar_t name[64] = {};
        GetClassNameW(child(c.index), name, 64);
        EXPECT_EQ(_wcsicmp(name, c.className), 0) << narrow(name);
        const LONG style = static_cast<LONG>(GetWindowLongPtrW(child(c.index), GWL_STYLE));
        if (c.style == BS_PUSHBUTTON || c.style == BS_3STATE || c.style == BS_GROUPBOX ||
            c.style == BS_DEFPUSHBUTTON) {
            EXPECT_EQ(style & BS_TYPEMASK, c.style);
        } else {
            EXPECT_EQ(style & c.style, c.style);
        }
    }
    EXPECT_EQ(child(kTimer), nullptr);
    EXPECT_TRUE(GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_EQ(windowText(hwnd()), L"Pictavo Test");
}

TEST_F(WindowTest, LayoutInPixelsOfTheWindowsDpi) {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const RECT text = clientRectOf(child(kText));
    const RECT frame = clientRectOf(child(kFrame));
    EXPECT_EQ((std::vector<LONG>{client.right, client.bottom, text.left, text.top, text.right - text.left, frame.left,
                                 frame.bottom - frame.top}),
              (std::vector<LONG>{px(6555), px(3735), px(90 + 150), px(60 + 270), px(2865), px(90), px(705)}));

    // Moving the frame carries its contents along.
    form->setBounds(kFrame, {300, 60, 3555, 705});
    EXPECT_EQ(clientRectOf(child(kText)).left, px(300 + 150));
    form->setBounds(kText, {0, 0, 1000, 300});
    EXPECT_EQ(clientRectOf(child(kText)).left, px(300));
    EXPECT_EQ(clientRectOf(child(kText)).right, px(300) + px(1000));
}

TEST_F(WindowTest, FramesLieBelowTheirContentsAndTabOrderFollowsTabIndex) {
    bool textSeen = false;
    for (HWND w = GetWindow(child(kText), GW_HWNDFIRST); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == child(kText)) textSeen = true;
        if (w == child(kFrame)) {
            EXPECT_TRUE(textSeen) << "the frame is above its text box";
        }
    }
    const int order[] = {kStart, kText, kCheck, kScroll, kEnd, kList, kStart};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(GetNextDlgTabItem(hwnd(), child(order[i]), FALSE), child(order[i + 1])) << i;
}

TEST_F(WindowTest, TextBoxReportsOnlyTheUsersChanges) {
    form->setText(kText, "D:\\Bilder\\Grüße\\*.jpg");
    EXPECT_EQ(windowText(child(kText)), L"D:\\Bilder\\Grüße\\*.jpg");
    EXPECT_EQ(sink.count(EventKind::TextChanged), 0);

    SendMessageW(child(kText), EM_SETSEL, 0, -1);
    SendMessageW(child(kText), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"C:\\Ä"));
    ASSERT_EQ(sink.count(EventKind::TextChanged, kText), 1);
    EXPECT_EQ(sink.last(EventKind::TextChanged)->text, "C:\\Ä");

    form->setSelection(kText, 1, 2);
    DWORD from = 0, to = 0;
    SendMessageW(child(kText), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(std::pair(from, to), std::pair(1ul, 3ul));
}

TEST_F(WindowTest, CheckBoxShowsThreeStatesAndLeavesTogglingToTheEngine) {
    const struct {
        int value;
        LRESULT state;
    } cases[] = {{1, BST_CHECKED}, {2, BST_INDETERMINATE}, {0, BST_UNCHECKED}};
    for (const auto& c : cases) {
        form->setValue(kCheck, c.value);
        EXPECT_EQ(SendMessageW(child(kCheck), BM_GETCHECK, 0, 0), c.state) << c.value;
    }
    SendMessageW(child(kCheck), BM_CLICK, 0, 0);
    EXPECT_EQ(sink.count(EventKind::Click, kCheck), 1);
    EXPECT_EQ(SendMessageW(child(kCheck), BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(WindowTest, ScrollBarStepsAndClampsTheUsersMoves) {
    int low = -1, high = -1;
    GetScrollRange(child(kScroll), SB_CTL, &low, &high);
    EXPECT_EQ((std::vector{low, high, GetScrollPos(child(kScroll), SB_CTL)}), (std::vector{0, 60, 5}));
    const struct { int start; WORD code; int expected; } cases[] = {
        {5, SB_LINERIGHT, 6}, {5, SB_LINELEFT, 4}, {5, SB_PAGERIGHT, 10}, {3, SB_PAGELEFT, 0},
        {58, SB_PAGERIGHT, 60}, {0, SB_LINELEFT, 0}, {20, SB_RIGHT, 60}, {20, SB_LEFT, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        form->setValue(kScroll, c.start);
        sink.events.clear();
        SendMessageW(hwnd(), WM_HSCROLL, c.code, reinterpret_cast<LPARAM>(child(kScroll)));
        ASSERT_EQ(sink.count(EventKind::Scrolled, kScroll), 1);
        EXPECT_EQ(sink.last(EventKind::Scrolled)->value, c.expected);
        EXPECT_EQ(GetScrollPos(child(kScroll), SB_CTL), c.expected);
    }
    sink.events.clear();
    SendMessageW(hwnd(), WM_HSCROLL, SB_ENDSCROLL, reinterpret_cast<LPARAM>(child(kScroll)));
    EXPECT_EQ(sink.count(EventKind::Scrolled), 0);
    form->setRange(kScroll, 10, 20);
    GetScrollRange(child(kScroll), SB_CTL, &low, &high);
    EXPECT_EQ((std::vector{low, high}), (std::vector{10, 20}));
}

TEST_F(WindowTest, LabelsHoldTheirTextAndSelfSizingOnesFitIt) {
    form->setText(kLabel, " 60 s");
    EXPECT_EQ(windowText(child(kLabel)), L" 60 s");
    const RECT oneWord = clientRectOf(child(kAuto));
    form->setText(kAuto, "C:\\Bilder\\Urlaub & Strand\\IMG_0001.JPG [5/120]");
    const RECT longLine = clientRectOf(child(kAuto));
    form->setText(kAuto, "C:\\X.JPG [1/1]\rFEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!");
    const RECT twoLines = clientRectOf(child(kAuto));
    EXPECT_EQ(windowText(child(kAuto)), L"C:\\X.JPG [1/1]\rFEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!");
    EXPECT_GT(longLine.right - longLine.left, 5 * (oneWord.right - oneWord.left));
    EXPECT_GT(twoLines.bottom - twoLines.top, oneWord.bottom - oneWord.top);
    EXPECT_EQ(longLine.left, px(150));  // it keeps its place

    // A new text is on the screen at once, before any message is handled.
    form->show();
    windows.doEvents();
    auto inked = [&] {
        unique_window_dc dc(child(kLabel));
        const RECT r = clientRectOf(child(kLabel));
        int count = 0;
        for (int y = 0; y < r.bottom - r.top; ++y)
            for (int x = 0; x < r.right - r.left; ++x) count += GetPixel(dc.get(), x, y) != GetSysColor(COLOR_BTNFACE);
        return count;
    };
    for (const char* text : {"MMM", "", "8 s"}) {
        form->setText(kLabel, text);
        EXPECT_EQ(inked() > 0, *text != '\0') << text;
    }
}

// The text the system holds for a window, read as a reader in another
// process reads it: without asking the window.
std::wstring heldText(HWND window) {
    wchar_t text[64] = {};
    InternalGetWindowText(window, text, 64);
    return text;
}

TEST_F(WindowTest, ABusyProgramTakesInputAndItsLabelsWindowsCatchUpWhenEventsAreProcessed) {
    form->show();
    form->setFocus(kText);
    // As while the index is read: a new status and event processing, over
    // and over, faster than input could arrive.
    post(child(kText), WM_KEYDOWN, 'Q');
    const ULONGLONG start = GetTickCount64();
    for (int n = 1; (sink.count(EventKind::KeyDown) == 0 || heldText(child(kLabel)) == L"5 s") &&
                    GetTickCount64() - start < 10000;
         ++n) {
        form->setText(kLabel, std::to_string(n) + " / 0");
        windows.doEvents();
    }
    EXPECT_EQ(sink.count(EventKind::KeyDown), 1);
    EXPECT_NE(heldText(child(kLabel)), L"5 s");

    form->setText(kLabel, "last");
    while (heldText(child(kLabel)) != L"last" && GetTickCount64() - start < 10000) windows.doEvents();
    EXPECT_EQ(heldText(child(kLabel)), L"last");

    // Waiting for input, the program is idle: whatever is read then is current.
    form->setText(kLabel, "idle");
    const UINT_PTR guard = SetTimer(nullptr, 0, 10, nullptr);
    windows.runLoop(nullptr, [&] { return heldText(child(kLabel)) != L"idle" && GetTickCount64() - start < 10000; });
    KillTimer(nullptr, guard);
    EXPECT_EQ(heldText(child(kLabel)), L"idle");
    EXPECT_EQ(windowText(child(kLabel)), L"idle");
}

TEST_F(WindowTest, TooltipsKeepTheirBlanks) {
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) {
            wchar_t name[64] = {};
            GetClassNameW(w, name, 64);
            if (_wcsicmp(name, TOOLTIPS_CLASSW) != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), hwnd());
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(child(kText));
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L" Quell-Verzeichnis und Dateiname(n) ");
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(WindowTest, ListBoxShowsItemsAndReportsTheUsersChoice) {
    form->setItems(kList, {"[-c-]", "[-d-]", "Grüße"});
    ASSERT_EQ(SendMessageW(child(kList), LB_GETCOUNT, 0, 0), 3);
    wchar_t item[32] = {};
    SendMessageW(child(kList), LB_GETTEXT, 2, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"Grüße");
    form->setListIndex(kList, 1);
    EXPECT_EQ(SendMessageW(child(kList), LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(sink.count(EventKind::Click), 0);
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child(kList)), LBN_SELCHANGE), reinterpret_cast<LPARAM>(child(kList)));
    ASSERT_EQ(sink.count(EventKind::Click, kList), 1);
    EXPECT_EQ(sink.last(EventKind::Click)->value, 1);
    SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child(kList)), LBN_DBLCLK), reinterpret_cast<LPARAM>(child(kList)));
    EXPECT_EQ(sink.count(EventKind::DblClick, kList), 1);
}

TEST_F(WindowTest, VisibilityAndEnablingFollowTheFrame) {
    auto visibleStyle = [](HWND w) { return (GetWindowLongPtrW(w, GWL_STYLE) & WS_VISIBLE) != 0; };
    EXPECT_TRUE(visibleStyle(child(kText)));
    form->setVisible(kText, false);
    EXPECT_FALSE(visibleStyle(child(kText))) << "hidden while its form is hidden";
    form->show();
    EXPECT_FALSE(IsWindowVisible(child(kText)));
    form->setVisible(kFrame, false);
    EXPECT_FALSE(IsWindowVisible(child(kFrame)));
    form->setVisible(kText, true);
    EXPECT_FALSE(IsWindowVisible(child(kText))) << "shown inside a hidden frame";
    form->setVisible(kFrame, true);
    EXPECT_TRUE(IsWindowVisible(child(kText)));
    form->setEnabled(kFrame, false);
    EXPECT_FALSE(IsWindowEnabled(child(kText)));
    form->setEnabled(kFrame, true);
    EXPECT_TRUE(IsWindowEnabled(child(kText)));
    form->setEnabled(kStart, false);
    EXPECT_FALSE(IsWindowEnabled(child(kStart)));
}

// The close box only asks; the engine decides.
TEST_F(WindowTest, AFormMayBeDestroyedInsideItsOwnEvent) {
    const HWND window = hwnd();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(sink.count(EventKind::CloseBox, kFormItself), 1);
    EXPECT_TRUE(IsWindow(window));
    sink.handler = [this](const NativeEvent& event) {
        if (event.kind == EventKind::Click) form.reset();
        return true;
    };
    SendMessageW(child(kStart), BM_CLICK, 0, 0);
    EXPECT_EQ(form, nullptr);
    windows.doEvents();
    EXPECT_FALSE(IsWindow(window));
    const std::size_t seen = sink.events.size();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(sink.events.size(), seen);
}

TEST_F(WindowTest, KeysReachTheFormBeforeTheFocusedControl) {
    form->show();
    form->setFocus(kText);
    form->setText(kText, "");
    sink.handler = [](const NativeEvent& event) { return event.kind == EventKind::KeyDown && event.value == 'Q'; };
    post(child(kText), WM_KEYDOWN, 'Q');  // consumed: the text box never sees it
    post(child(kText), WM_KEYDOWN, 'A');  // passed on: typed
    windows.doEvents();
    windows.doEvents();
    int keyDowns = 0;
    for (const auto& e : sink.events) {
        if (e.kind == EventKind::KeyDown) {
            EXPECT_EQ(e.value, keyDowns++ == 0 ? 'Q' : 'A');
        }
    }
    EXPECT_EQ(keyDowns, 2);
    EXPECT_EQ(windowText(child(kText)), L"a");
    EXPECT_EQ(sink.count(EventKind::KeyPress), 0) << "no key preview and the focus is on a control";
}

TEST_F(WindowTest, EnterThatTheFormLeavesIsNotTurnedIntoAClick) {
    form->show();
    form->setFocus(kCheck);
    post(child(kCheck), WM_KEYDOWN, VK_RETURN);
    post(child(kCheck), WM_KEYDOWN, VK_ESCAPE);
    windows.doEvents();
    windows.doEvents();
    EXPECT_EQ(sink.count(EventKind::KeyDown), 2);
    EXPECT_EQ(sink.count(EventKind::Click), 0);
}

TEST_F(WindowTest, AModalFormTakesEveryKeyAndDisablesTheOthers) {
    RecordingSink waitSink;
    auto wait = waitingForm(waitSink);
    ASSERT_NE(wait, nullptr);
    form->show();
    form->setFocus(kText);
    wait->show();
    bool waiting = true;
    bool mainEnabledMeanwhile = true;
    waitSink.handler = [&](const NativeEvent& event) {
        if (event.kind != EventKind::KeyDown) return false;
        mainEnabledMeanwhile = IsWindowEnabled(hwnd()) != 0;
        if (event.value == VK_RIGHT) {
            waiting = false;
            wait->hide();
        }
        return true;
    };
    // Aimed at the main window's text box, as if it still had the focus.
    post(child(kText), WM_KEYDOWN, 'P');
    post(child(kText), WM_KEYDOWN, VK_RIGHT);
    windows.runLoop(wait.get(), [&] { return waiting; });
    EXPECT_EQ(waitSink.count(EventKind::KeyDown), 2);
    EXPECT_EQ(sink.count(EventKind::KeyDown), 0);
    EXPECT_FALSE(mainEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(hwnd()));
    EXPECT_EQ(windowText(child(kText)), L"C:\\*.*");
}

// Wine activates a hidden window that is moved without SWP_NOACTIVATE, as
// making it layered does; its controls take the focus only once it is shown.
TEST_F(WindowTest, AHiddenFormMadeLayeredGivesNoControlTheFocus) {
    Win32Effects effects;
    effects.setOpacity(*form, 200);
    windows.doEvents();
    EXPECT_EQ(sink.count(EventKind::GotFocus, kStart), 0) << "the first control in tab order";
    EXPECT_EQ(sink.count(EventKind::GotFocus, kText), 0);
    EXPECT_TRUE(GetFocus() == nullptr || GetFocus() == hwnd());
}

// X gives no window of no size the focus: under Wine such a modal form could
// never have the keyboard, so its owner stays enabled to be activated in its
// place, and passes on what it gets.
TEST_F(WindowTest, TheOwnerOfAModalFormOfNoSizeStandsInForItWithoutInputOfItsOwn) {
    FormLayout waitSpec;
    waitSpec.name = "FrmWait";
    waitSpec.border = Border::None;
    waitSpec.keyPreview = true;
    RecordingSink waitSink;
    auto wait = windows.createForm(waitSpec, waitSink);
    ASSERT_NE(wait, nullptr);
    form->show();
    wait->setOwner(form.get());
    wait->show();
    bool waiting = true;
    bool ownerEnabledMeanwhile = false;
    waitSink.handler = [&](const NativeEvent& event) {
        if (event.kind != EventKind::KeyDown) return false;
        ownerEnabledMeanwhile = IsWindowEnabled(hwnd()) != 0;
        waiting = false;
        wait->hide();
        return true;
    };
    PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    PostMessageW(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    post(hwnd(), WM_KEYDOWN, VK_RIGHT);
    windows.runLoop(wait.get(), [&] { return waiting; });
    EXPECT_TRUE(ownerEnabledMeanwhile);
    EXPECT_EQ(waitSink.count(EventKind::KeyDown), 1);
    EXPECT_EQ(sink.count(EventKind::KeyDown), 0);
    EXPECT_EQ(sink.count(EventKind::CloseBox), 0) << "the desktop asked the owner to close";
    EXPECT_EQ(sink.count(EventKind::MouseDown), 0);
}

TEST_F(WindowTest, KeysTypedAheadComeOneByOneBeforeLaterInputToTheWindowThatHasTheKeyboard) {
    RecordingSink waitSink;
    auto wait = waitingForm(waitSink);
    ASSERT_NE(wait, nullptr);
    form->show();
    form->setText(kText, "");
    wait->show();
    std::vector<int> waitKeys;
    bool waiting = true;
    waitSink.handler = [&](const NativeEvent& event) {
        if (event.kind != EventKind::KeyDown) return false;
        waitKeys.push_back(event.value);
        if (event.value == VK_RIGHT) {
            waiting = false;
            wait->hide();
        }
        return true;
    };
    post(child(kText), WM_KEYDOWN, 'Z');  // typed after the keys below
    windows.typeAhead({'P', VK_RIGHT, 'B'});
    windows.runLoop(wait.get(), [&] { return waiting; });
    EXPECT_EQ(waitKeys, (std::vector<int>{'P', VK_RIGHT})) << "one wait takes the keys up to the one that ends it";

    form->setFocus(kText);
    const ULONGLONG start = GetTickCount64();
    const UINT_PTR guard = SetTimer(nullptr, 0, 500, nullptr);
    windows.runLoop(nullptr, [&] { return windowText(child(kText)).size() < 2 && GetTickCount64() - start < 10000; });
    KillTimer(nullptr, guard);
    EXPECT_EQ(windowText(child(kText)), L"bz") << "the key left over is typed where the focus is, before later input";
}

TEST_F(WindowTest, AModalFormUnloadedByItsOwnKeyGivesTheInputBack) {
    FormLayout dialogSpec;
    dialogSpec.name = "FrmGoTo";
    dialogSpec.border = Border::ToolWindow;
    dialogSpec.clientWidth = 3000;
    dialogSpec.clientHeight = 1000;
    RecordingSink dialogSink;
    auto dialog = windows.createForm(dialogSpec, dialogSink);
    ASSERT_NE(dialog, nullptr);
    const HWND dialogWindow = static_cast<Win32Form&>(*dialog).hwnd();
    form->show();
    dialog->show();
    dialogSink.handler = [&](const NativeEvent& event) {
        if (event.kind == EventKind::KeyDown && event.value == VK_ESCAPE) dialog.reset();
        return true;
    };
    post(dialogWindow, WM_KEYDOWN, VK_ESCAPE);
    windows.runLoop(dialog.get(), [&] { return dialog != nullptr; });
    windows.doEvents();
    EXPECT_FALSE(IsWindow(dialogWindow));
    EXPECT_TRUE(IsWindowEnabled(hwnd()));
    EXPECT_EQ(GetActiveWindow(), hwnd());
}

TEST_F(WindowTest, TimersFireUntilTheFormGoes) {
    FormLayout layout;
    layout.name = "FrmWait";
    layout.border = Border::None;
    layout.controls = {{.name = "Timer1", .kind = ControlKind::Timer, .value = 20}};
    RecordingSink timerSink;
    auto timed = windows.createForm(layout, timerSink);
    ASSERT_NE(timed, nullptr);
    const ULONGLONG start = GetTickCount64();
    // A thread timer wakes the loop, so that a timer that never fires ends the test.
    const UINT_PTR guard = SetTimer(nullptr, 0, 500, nullptr);
    windows.runLoop(nullptr, [&] { return timerSink.count(EventKind::Timer) < 3 && GetTickCount64() - start < 20000; });
    KillTimer(nullptr, guard);
    EXPECT_EQ(timerSink.count(EventKind::Timer, 0), 3);
    EXPECT_EQ(sink.count(EventKind::Timer), 0) << "the main form's timer has no interval";
    timed.reset();
    Sleep(60);
    windows.doEvents();
    EXPECT_EQ(timerSink.count(EventKind::Timer), 3);
}

// Top-level windows of this thread that the form engine made.
int liveFormWindows() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM found) {
            wchar_t name[32] = {};
            GetClassNameW(w, name, 32);
            if (wcscmp(name, kFormClass) == 0 || wcscmp(name, kPopupClass) == 0) ++*reinterpret_cast<int*>(found);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(WindowSystemEnd, AFormUnloadedByItsOwnClickAfterQuitGoesBeforeTheWindowSystem) {
    const int before = liveFormWindows();
    HWND window = nullptr;
    {
        Win32WindowSystem windows{GetModuleHandleW(nullptr)};
        RecordingSink sink;
        auto form = windows.createForm(mainSpec(), sink);
        ASSERT_NE(form, nullptr);
        window = static_cast<Win32Form&>(*form).hwnd();
        // What Exit does: the program ends, then its window unloads, inside the click.
        sink.handler = [&](const NativeEvent& event) {
            if (event.kind == EventKind::Click) {
                windows.quit();
                form.reset();
            }
            return true;
        };
        PostMessageW(static_cast<Win32Form&>(*form).controlWindow(kEnd), BM_CLICK, 0, 0);
        windows.runLoop(nullptr, [] { return true; });
        ASSERT_EQ(form, nullptr);
        ASSERT_TRUE(IsWindow(window)) << "the loop ended before the window's posted destruction";
    }
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(liveFormWindows(), before);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST_F(WindowTest, APlaceIsOnAMonitorWhenAnyPartOfItIs) {
    EXPECT_TRUE(windows.onSomeMonitor({0, 0, 4000, 3000}));
    EXPECT_TRUE(windows.onSomeMonitor({-3000, -2000, 4000, 3000}));
    EXPECT_FALSE(windows.onSomeMonitor({1.0e7, 1.0e7, 4000, 3000}));
    EXPECT_FALSE(windows.onSomeMonitor({-1.0e6, 0, 4000, 3000}));
}

TEST_F(WindowTest, PointersAreTheProgramsOwnAndFollowTheControlUnderTheMouse) {
    const Pointers& pointers = windows.pointers();
    const struct { Pointer pointer; DWORD hotX; } cases[] = {{Pointer::Arrow, 0}, {Pointer::Hand, 5}};
    for (const auto& c : cases) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(pointers.get(c.pointer), &info));
        EXPECT_EQ(info.xHotspot, c.hotX);
        EXPECT_EQ(info.yHotspot, 0u);
        BITMAP mask{};
        GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, 32);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
    }
    EXPECT_EQ(pointers.get(Pointer::Default), nullptr);

    FormLayout layout = mainSpec();
    layout.pointer = Pointer::Arrow;
    layout.controls[kLabel].pointer = Pointer::Hand;
    RecordingSink pointedSink;
    auto pointed = windows.createForm(layout, pointedSink);
    ASSERT_NE(pointed, nullptr);
    auto& native = static_cast<Win32Form&>(*pointed);
    auto cursorOver = [&](HWND under) {
        SetCursor(nullptr);
        const LRESULT handled = SendMessageW(native.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return handled ? GetCursor() : nullptr;
    };
    EXPECT_EQ(cursorOver(native.controlWindow(kLabel)), pointers.get(Pointer::Hand));
    EXPECT_EQ(cursorOver(native.hwnd()), pointers.get(Pointer::Arrow));
    EXPECT_EQ(cursorOver(native.controlWindow(kText)), nullptr) << "the text box keeps its own cursor";
}

// A picture window: black, a stretched picture, and a transparent caption on it.
class PictureWindowTest : public ::testing::Test {
protected:
    enum : int { kCaption, kShadow, kImage };
    void SetUp() override {
        FormLayout layout;
        layout.name = "FrmPic";
        layout.border = Border::None;
        layout.backColor = rgb(0, 0, 0);
        layout.clientWidth = 200 * 15;
        layout.clientHeight = 100 * 15;
        const std::uint32_t light = rgb(208, 208, 208);
        layout.controls = {{.name = "LBild1", .kind = ControlKind::Label, .width = 1500, .height = 600, .caption = "I",
                            .foreColor = light, .transparent = true},
                           {.name = "LBild2", .kind = ControlKind::Label, .left = 15, .top = 15, .width = 1500,
                            .height = 600, .caption = "I", .foreColor = light, .transparent = true},
                           {.name = "Image1", .kind = ControlKind::Image, .width = 3000, .height = 1500}};
        form = windows.createForm(layout, sink);
        ASSERT_NE(form, nullptr);
        void* bits = nullptr;
        green = Win32Picture::create(2, 2, 2, 2, &bits);
        ASSERT_NE(green, nullptr);
        auto* pixels = static_cast<std::uint32_t*>(bits);
        for (int i = 0; i < 4; ++i) pixels[i] = 0xFF00C000;  // PBGRA green
    }
    // What the control draws, through WM_PRINTCLIENT, as a memory bitmap.
    COLORREF pixelOf(int index, int x, int y) {
        HWND window = static_cast<Win32Form&>(*form).controlWindow(index);
        RECT r{};
        GetClientRect(window, &r);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(memory, bitmap);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        const COLORREF color = GetPixel(memory, x, y);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        return color;
    }
    Win32WindowSystem windows{GetModuleHandleW(nullptr)};
    RecordingSink sink;
    std::unique_ptr<NativeForm> form;
    std::shared_ptr<Win32Picture> green;
};

TEST_F(PictureWindowTest, TheImageStretchesItsPictureOrShowsItAtItsOwnSize) {
    EXPECT_EQ(pixelOf(kImage, 100, 50), RGB(0, 0, 0)) << "no picture: background only";
    form->setPicture(kImage, green, true);
    EXPECT_EQ(pixelOf(kImage, 150, 80), RGB(0, 0xC0, 0));
    form->setPicture(kImage, green, false);
    EXPECT_EQ(pixelOf(kImage, 1, 1), RGB(0, 0xC0, 0));
    EXPECT_EQ(pixelOf(kImage, 150, 80), RGB(0, 0, 0));
    form->setPicture(kImage, nullptr, true);
    EXPECT_EQ(pixelOf(kImage, 1, 1), RGB(0, 0, 0));
}

TEST_F(PictureWindowTest, TransparentLabelsShowThePictureBelowThem) {
    form->setPicture(kImage, green, true);
    form->setText(kCaption, "I");
    EXPECT_EQ(pixelOf(kCaption, 90, 35), RGB(0, 0xC0, 0)) << "beside the text: the picture";
    form->setVisible(kImage, false);
    EXPECT_EQ(pixelOf(kCaption, 90, 35), RGB(0, 0, 0)) << "without the picture: the form's black";
    EXPECT_EQ(windowText(static_cast<Win32Form&>(*form).controlWindow(kCaption)), L"I");
}

}  // namespace
}  // namespace pictavo::platform::win32
