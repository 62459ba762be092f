#include "platform/win32/win32_controls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_dpi.h"
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

DWORD formStyle(const FormLayout& layout) {
    const DWORD systemMenu = layout.closeBox ? WS_SYSMENU : 0u;
    switch (layout.border) {
        case Border::FixedSingle:
            return WS_OVERLAPPED | WS_CAPTION | systemMenu | (layout.closeBox ? WS_MINIMIZEBOX : 0u) | WS_CLIPCHILDREN;
        case Border::ToolWindow:
            return WS_OVERLAPPED | WS_CAPTION | systemMenu | WS_CLIPCHILDREN;
        case Border::None:
            break;
    }
    return WS_POPUP | WS_CLIPCHILDREN;
}

DWORD formExStyle(const FormLayout& layout) {
    DWORD style = WS_EX_CONTROLPARENT;
    if (layout.border == Border::ToolWindow) style |= WS_EX_TOOLWINDOW;
    if (layout.topMost) style |= WS_EX_TOPMOST;
    return style;
}

void showValue(HWND control, ControlKind kind, int value) {
    if (kind == ControlKind::CheckBox) {
        const WPARAM state = value == 2 ? BST_INDETERMINATE : value == 1 ? BST_CHECKED : BST_UNCHECKED;
        SendMessageW(control, BM_SETCHECK, state, 0);
    } else if (kind == ControlKind::HScrollBar) {
        SetScrollPos(control, SB_CTL, value, TRUE);
    }
}

void showRange(HWND scrollBar, int min, int max, bool redraw) {
    SetScrollRange(scrollBar, SB_CTL, std::min(min, max), std::max(min, max), redraw);
}

void selectCharacters(HWND edit, int start, int length) {
    const std::wstring text = windowText(edit);
    const int units = static_cast<int>(text.size());
    auto unitOf = [&](int characters) {
        int unit = 0;
        for (int n = 0; n < characters && unit < units; ++n)
            unit += IS_HIGH_SURROGATE(text[static_cast<std::size_t>(unit)]) && unit + 1 < units ? 2 : 1;
        return unit;
    };
    const int from = unitOf(std::max(0, start));
    const int to = length < 0 ? units : unitOf(std::max(0, start) + length);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
    SendMessageW(edit, EM_SCROLLCARET, 0, 0);
}

void fillList(HWND list, const std::vector<std::string>& items) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

std::optional<int> scrolledTo(HWND scrollBar, int action, const ControlLayout& layout, int min, int max) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(scrollBar, SB_CTL, &info);
    const int low = std::min(min, max), high = std::max(min, max);
    int value = info.nPos;
    switch (action) {
        case SB_LINELEFT: value -= layout.smallChange; break;
        case SB_LINERIGHT: value += layout.smallChange; break;
        case SB_PAGELEFT: value -= layout.largeChange; break;
        case SB_PAGERIGHT: value += layout.largeChange; break;
        case SB_LEFT: value = low; break;
        case SB_RIGHT: value = high; break;
        case SB_THUMBPOSITION: value = info.nTrackPos; break;
        default: return std::nullopt;
    }
    return std::clamp(value, low, high);
}

HWND addTooltips(HWND form, HINSTANCE instance, const std::vector<std::pair<HWND, std::string>>& tips) {
    if (tips.empty()) return nullptr;
    HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance,
                                   nullptr);
    if (!tooltip) return nullptr;
    for (const auto& [control, tip] : tips) {
        std::wstring text = widen(tip);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.hwnd = form;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = text.data();
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return tooltip;
}

TwipRect screenRectInTwips(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    // A minimised window sits far off the screen; its place is where it will
    // be restored, which is what a caller stores and shows again.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(window) && GetWindowPlacement(window, &placement)) outer = placement.rcNormalPosition;
    const UINT dpi = systemDpi();
    return {pixelsToTwips(outer.left, dpi), pixelsToTwips(outer.top, dpi),
            pixelsToTwips(outer.right - outer.left, dpi), pixelsToTwips(outer.bottom - outer.top, dpi)};
}

void moveInTwips(HWND window, const TwipRect& rect) {
    const UINT dpi = systemDpi();
    SetWindowPos(window, nullptr, twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi),
                 std::max(0, twipsToPixels(rect.width, dpi)), std::max(0, twipsToPixels(rect.height, dpi)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void centerOnWorkArea(HWND window) {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(window, nullptr, std::max<int>(work.left, x), std::max<int>(work.top, y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

}  // namespace pictavo::platform::win32
