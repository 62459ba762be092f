// The program's own windows as this system draws them: every caption fits its
// control in the fonts the system has, also where a face that a layout names
// is missing and the system gives a wider one ("Small Fonts" under Wine).

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_platform.h"
#include "program/app.h"
#include "program/form1.h"
#include "program/frm_file.h"
#include "program/frm_go_to.h"
#include "program/frm_run_now.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

// The size a caption takes in its control's font, with what Wine's controls
// draw beside it: the check box, or the button's and the frame's borders.
SIZE needed(HWND control, const ControlLayout& layout, int width) {
    unique_window_dc dc(control);
    select_scope font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = widen(layout.caption);
    RECT area{0, 0, width, 0};
    const UINT format = layout.kind == ControlKind::Label ? DT_WORDBREAK | DT_NOPREFIX : DT_SINGLELINE;
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | format);
    if (layout.kind == ControlKind::Label) return {area.right, area.bottom};
    const int beside = layout.kind == ControlKind::CheckBox ? 16 : layout.kind == ControlKind::Button ? 6 : 14;
    const int height = layout.kind == ControlKind::Frame ? 0 : area.bottom;  // a frame's caption sits on its border
    return {area.right + MulDiv(beside, GetDpiForWindow(control), 96), height};
}

TEST(Captions, EveryCaptionOfTheProgramsWindowsFitsItsControl) {
    Win32Platform real(GetModuleHandleW(nullptr));
    App app(real.platform());
    for (Form* form : {&app.form1().form, &app.frmFile().form, &app.frmGoTo().form, &app.frmRunNow().form}) {
        testing::RecordingSink sink;
        const auto native = real.windows.createForm(form->layout(), sink);
        ASSERT_NE(native, nullptr);
        for (std::size_t i = 0; i < form->layout().controls.size(); ++i) {
            const ControlLayout& control = form->layout().controls[i];
            HWND hwnd = static_cast<const Win32Form&>(*native).controlWindow(static_cast<int>(i));
            if (!hwnd || control.caption.empty() || control.kind == ControlKind::TextBox) continue;
            RECT room{};
            GetClientRect(hwnd, &room);
            const SIZE size = needed(hwnd, control, room.right);
            EXPECT_LE(size.cx, room.right) << form->name() << "." << control.name;
            EXPECT_LE(size.cy, room.bottom) << form->name() << "." << control.name;
        }
    }
}

}  // namespace
}  // namespace pictavo::platform::win32
