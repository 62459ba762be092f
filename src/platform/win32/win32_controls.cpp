#include "platform/win32/win32_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_picture.h"

namespace pictavo::platform::win32 {

ControlClass controlClass(const ControlLayout& layout) {
    // Every child clips its siblings: the z-order alone decides what shows
    // where controls overlap (frames lie below their contents).
    DWORD common = WS_CHILD | WS_CLIPSIBLINGS | (layout.visible ? WS_VISIBLE : 0u) |
                   (layout.tabIndex >= 0 && takesFocus(layout.kind) ? WS_TABSTOP : 0u);
    switch (layout.kind) {
        case ControlKind::Frame:
            return {L"BUTTON", common | BS_GROUPBOX, 0};
        case ControlKind::Label:
            // File names may hold '&'; labels show their text as it is.
            return {L"STATIC", common | SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0};
        case ControlKind::Button:
            return {L"BUTTON", common | (layout.role == Role::Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
        case ControlKind::CheckBox:
            return {L"BUTTON", common | BS_3STATE, 0};
        case ControlKind::TextBox:
            return {L"EDIT", common | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::HScrollBar:
            return {L"SCROLLBAR", common | SBS_HORZ, 0};
        case ControlKind::Line:
            return {kLineClass, common, 0};
        case ControlKind::Image:
            return {kImageClass, common, 0};
        case ControlKind::ListBox:
            return {L"LISTBOX", common | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Timer:
            break;
    }
    return {};
}

void registerControlClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kImageClass, kLineClass}) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.style = CS_HREDRAW | CS_VREDRAW;
        cls.lpfnWndProc = DefWindowProcW;
        cls.hInstance = instance;
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.lpszClassName = name;
        RegisterClassExW(&cls);  // already registered on a second window system: fine
    }
}

void drawLabelText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, COLORREF color, bool enabled,
                   bool wrap) {
    if (text.empty()) return;
    select_scope selected(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, enabled ? color : GetSysColor(COLOR_GRAYTEXT));
    RECT area = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : 0u));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void paintImage(HDC dc, const RECT& rect, const Picture* picture, bool stretch, HBRUSH background) {
    const auto* bitmap = dynamic_cast<const Win32Picture*>(picture);
    if (!bitmap) {
        FillRect(dc, &rect, background);
        return;
    }
    if (stretch) {
        drawPicture(dc, *bitmap, rect);
        return;
    }
    const RECT natural{rect.left, rect.top, rect.left + bitmap->widthPx(), rect.top + bitmap->heightPx()};
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, natural.left, natural.top, natural.right, natural.bottom);
    FillRect(dc, &rect, background);
    RestoreDC(dc, saved);
    drawPicture(dc, *bitmap, natural);
}

void paintLine(HDC dc, const RECT& rect, bool fromTopLeft, std::uint32_t color, HBRUSH background) {
    FillRect(dc, &rect, background);
    const bool etched = color == kDefaultColor;
    // The etched highlight takes one pixel right of and below the line.
    const int right = rect.right - 1 - (etched ? 1 : 0);
    const int bottom = rect.bottom - 1 - (etched ? 1 : 0);
    const POINT from = fromTopLeft ? POINT{rect.left, rect.top} : POINT{rect.left, bottom};
    const POINT to = fromTopLeft ? POINT{right, bottom} : POINT{right, rect.top};
    auto stroke = [&](COLORREF c, int offset) {
        unique_hpen pen(CreatePen(PS_SOLID, 1, c));
        select_scope selected(dc, pen.get());
        MoveToEx(dc, from.x + offset, from.y + offset, nullptr);
        LineTo(dc, to.x + offset, to.y + offset);
        SetPixel(dc, to.x + offset, to.y + offset, c);  // LineTo leaves out the last point
    };
    if (etched) {
        stroke(GetSysColor(COLOR_BTNSHADOW), 0);
        stroke(GetSysColor(COLOR_BTNHIGHLIGHT), 1);
    } else {
        stroke(static_cast<COLORREF>(color), 0);
    }
}

SIZE measureText(HWND window, HFONT font, const std::wstring& text) {
    unique_window_dc dc(window);
    if (!dc) return {0, 0};
    select_scope selected(dc.get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    if (text.empty()) return {0, metrics.tmHeight};
    RECT area{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    return {area.right - area.left, std::max<LONG>(area.bottom - area.top, metrics.tmHeight)};
}

}  // namespace pictavo::platform::win32
