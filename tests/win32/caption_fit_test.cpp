// The program's own windows as this system draws them: every caption fits
// its control in the fonts the system has, also where a face the layout names
// is missing and the system gives a wider one.

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "dialogs/frm_file.h"
#include "dialogs/frm_go_to.h"
#include "dialogs/frm_run_now.h"
#include "platform/win32/text_conv.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_platform.h"
#include "shell/app.h"
#include "shell/form1.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

// How much of a control's width its caption needs, as Wine's and Windows'
// controls lay it out: text, and the check box or button frame beside it.
SIZE needed(HWND control, const ControlLayout& layout, const std::wstring& text, int width) {
    unique_window_dc dc(control);
    select_scope font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT area{0, 0, width, 0};
    const UINT format = layout.kind == ControlKind::Label ? DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS : DT_SINGLELINE;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | format);
    SIZE digit{};
    GetTextExtentPoint32W(dc.get(), L"0", 1, &digit);
    const UINT dpi = GetDpiForWindow(control);
    const int beside = layout.kind == ControlKind::CheckBox ? MulDiv(12, static_cast<int>(dpi), 96) + 1 + digit.cx / 2
                       : layout.kind == ControlKind::Button ? 6
                       : layout.kind == ControlKind::Frame  ? 2 * 7
                                                            : 0;
    return {area.right + beside, area.bottom};
}

TEST(Captions, EveryCaptionOfTheProgramsWindowsFitsItsControl) {
    Win32Platform real(GetModuleHandleW(nullptr));
    App app(real.platform());
    // The longest texts the program writes into labels besides their captions.
    const std::map<std::string, std::vector<std::string>> written = {
        {"Form1.Linfo", {"Lese Index, bitte warten ...", "Suche Bilder ... " + std::string(40, '|')}},
        {"Form1.Lsek", {" 60 s"}},
        {"Form1.Lpic", {"32768 / 32768"}},
        {"FrmRunNow.Linfo", {"Erstelle Index, bitte warten ...", "Suche Bilder, bitte warten ... " + std::string(15, '|')}},
        {"FrmRunNow.Lpic", {"Bilder: 32768"}},
        {"FrmGoTo.GoToMax", {"/ 32768"}},
    };
    for (Form* form : {&app.form1().form, &app.frmFile().form, &app.frmGoTo().form, &app.frmRunNow().form}) {
        testing::RecordingSink sink;
        const auto native = real.windows.createForm(form->layout(), sink);
        ASSERT_NE(native, nullptr);
        const auto& window = static_cast<const Win32Form&>(*native);
        for (std::size_t i = 0; i < form->layout().controls.size(); ++i) {
            const ControlLayout& control = form->layout().controls[i];
            HWND hwnd = window.controlWindow(static_cast<int>(i));
            if (!hwnd || control.autoSize || control.kind == ControlKind::TextBox) continue;
            std::vector<std::string> texts{control.caption};
            if (auto more = written.find(form->name() + "." + control.name); more != written.end())
                texts.insert(texts.end(), more->second.begin(), more->second.end());
            RECT room{};
            GetClientRect(hwnd, &room);
            for (const std::string& text : texts) {
                if (text.empty()) continue;
                const SIZE size = needed(hwnd, control, widen(text), room.right);
                EXPECT_LE(size.cx, room.right) << form->name() << "." << control.name << ": " << text;
                if (control.kind != ControlKind::Frame) {
                    EXPECT_LE(size.cy, room.bottom) << form->name() << "." << control.name << ": " << text;
                }
            }
        }
    }
}

}  // namespace
}  // namespace pictavo::platform::win32
