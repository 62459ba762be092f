#include "platform/win32/win32_form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_caption_fit.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_form_shared.h"
#include "platform/win32/win32_window_system.h"

namespace pictavo::platform::win32 {

namespace {

RECT unite(const RECT& a, const RECT& b) {
    RECT both{};
    UnionRect(&both, &a, &b);
    return both;
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

}  // namespace

std::shared_ptr<FormWindow> FormWindow::create(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink) {
    auto window = std::make_shared<FormWindow>(system, layout, sink);
    if (!window->build()) return nullptr;
    return window;
}

FormWindow::FormWindow(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink)
    : system_(system), geometry_(layout), sink_(&sink) {
    controls_.resize(layout.controls.size());
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        const ControlLayout& s = layout.controls[i];
        c.value = s.value;
        c.min = s.min;
        c.max = s.max;
        c.text = widen(s.caption);
    }
    if (layout.backColor != kDefaultColor) ownBrush_.reset(CreateSolidBrush(static_cast<COLORREF>(layout.backColor)));
}

bool FormWindow::build() {
    const FormLayout& layout = geometry_.form();
    const DWORD style = formStyle(layout);
    const DWORD exStyle = formExStyle(layout);
    const UINT screenDpi = systemDpi();
    const int x = twipsToPixels(layout.left, screenDpi);
    const int y = twipsToPixels(layout.top, screenDpi);
    HWND created = CreateWindowExW(exStyle, layout.border == Border::None ? kPopupClass : kFormClass,
                                   widen(layout.caption).c_str(), style, x, y, 0, 0, nullptr, nullptr,
                                   system_.instance(), this);
    if (!created) return false;
    hwnd_.reset(created);
    self_ = shared_from_this();
    dpi_ = windowDpi(created);

    RECT outer{0, 0, twipsToPixels(layout.clientWidth, dpi_), twipsToPixels(layout.clientHeight, dpi_)};
    adjustWindowRect(outer, style, exStyle, dpi_);
    SetWindowPos(created, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (layout.appIcon) {
        if (HICON big = system_.appIcon(false)) SendMessageW(created, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON smallIcon = system_.appIcon(true))
            SendMessageW(created, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }

    createControls();
    arrangeZOrder();
    applyFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) place(static_cast<int>(i));
    addTooltips();
    for (int i = 0; i < geometry_.count(); ++i)
        if (geometry_.layout(i).kind == ControlKind::Timer) restartTimer(i);
    return true;
}

void FormWindow::createControls() {
    ++quietText_;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        const ControlLayout& s = geometry_.layout(static_cast<int>(i));
        const ControlClass cls = controlClass(s);
        if (!cls.className) continue;
        DWORD style = cls.style;
        if (!geometry_.effectiveVisible(static_cast<int>(i))) style &= ~static_cast<DWORD>(WS_VISIBLE);
        c.hwnd = CreateWindowExW(cls.exStyle, cls.className, c.text.c_str(), style, 0, 0, 0, 0, hwnd_.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
                                 system_.instance(), nullptr);
        if (!c.hwnd) continue;
        SetWindowSubclass(c.hwnd, controlProc, i, reinterpret_cast<DWORD_PTR>(this));
        switch (s.kind) {
            case ControlKind::CheckBox:
                SendMessageW(c.hwnd, BM_SETCHECK, static_cast<WPARAM>(c.value), 0);
                break;
            case ControlKind::HScrollBar:
                SetScrollRange(c.hwnd, SB_CTL, std::min(c.min, c.max), std::max(c.min, c.max), FALSE);
                SetScrollPos(c.hwnd, SB_CTL, c.value, TRUE);
                break;
            default:
                break;
        }
    }
    --quietText_;
}

void FormWindow::arrangeZOrder() {
    HWND after = HWND_TOP;
    for (int i : geometry_.zOrder()) {
        HWND child = controls_[static_cast<std::size_t>(i)].hwnd;
        if (!child) continue;
        SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = child;
    }
}

void FormWindow::applyFonts() {
    const std::vector<HFONT> fonts = fittedFonts(system_.fonts(), geometry_.form(), dpi_);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        c.font = fonts[i];
        c.image.forget();
        if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    }
}

void FormWindow::addTooltips() {
    bool any = false;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        any = any || (controls_[i].hwnd && !geometry_.layout(static_cast<int>(i)).tooltip.empty());
    if (!any) return;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_.get(), nullptr,
                               system_.instance(), nullptr);
    if (!tooltip_) return;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const std::string& tip = geometry_.layout(static_cast<int>(i)).tooltip;
        if (!controls_[i].hwnd || tip.empty()) continue;
        std::wstring text = widen(tip);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.hwnd = hwnd_.get();
        tool.uId = reinterpret_cast<UINT_PTR>(controls_[i].hwnd);
        tool.lpszText = text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

FormWindow::Control* FormWindow::control(int index) {
    if (index < 0 || index >= static_cast<int>(controls_.size())) return nullptr;
    return &controls_[static_cast<std::size_t>(index)];
}

HWND FormWindow::controlWindow(int control) const {
    if (control < 0 || control >= static_cast<int>(controls_.size())) return nullptr;
    return controls_[static_cast<std::size_t>(control)].hwnd;
}

int FormWindow::indexOf(HWND child) const {
    if (!child) return -1;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].hwnd == child) return static_cast<int>(i);
    return -1;
}

LabelLook FormWindow::labelLook(int index) const {
    const Control& c = controls_[static_cast<std::size_t>(index)];
    const ControlLayout& s = geometry_.layout(index);
    return {c.font, labelColor(s.foreColor), backBrush(), IsWindowEnabled(c.hwnd) != 0, !s.autoSize};
}

void FormWindow::showLabelText(int index) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    c.image.forget();
    c.imageShown = c.image.show(c.hwnd, c.text, labelLook(index));
}

COLORREF FormWindow::backColor() const {
    const std::uint32_t color = geometry_.form().backColor;
    return color == kDefaultColor ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(color);
}

HBRUSH FormWindow::backBrush() const {
    return ownBrush_ ? ownBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

// --- Layout

RECT FormWindow::currentRect(int index) const {
    RECT rect{};
    HWND child = controls_[static_cast<std::size_t>(index)].hwnd;
    if (!child) return rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, hwnd_.get(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void FormWindow::place(int index) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    if (!c.hwnd) return;
    PixelSize text;
    if (geometry_.sizesToText(index)) {
        const SIZE size = measureText(c.hwnd, c.font, c.text);
        text = {size.cx, size.cy};
    }
    const PixelRect r = geometry_.pixelRect(index, dpi_, text);
    const RECT before = currentRect(index);
    const RECT rect{r.left, r.top, r.right, r.bottom};
    if (EqualRect(&before, &rect)) return;
    SetWindowPos(c.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    c.imageShown = false;
    invalidateOverlays(index, unite(before, rect));
}

void FormWindow::applyVisibility(int index) {
    for (int i : geometry_.withContents(index)) {
        HWND child = controls_[static_cast<std::size_t>(i)].hwnd;
        if (!child) continue;
        const bool show = geometry_.effectiveVisible(i);
        if (show == hasVisibleStyle(child)) continue;
        ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
        controls_[static_cast<std::size_t>(i)].imageShown = false;
        invalidateOverlays(i, currentRect(i));
    }
}

void FormWindow::applyEnabled(int index) {
    for (int i : geometry_.withContents(index)) {
        if (geometry_.layout(i).kind == ControlKind::Timer)
            restartTimer(i);
        else if (HWND child = controls_[static_cast<std::size_t>(i)].hwnd)
            EnableWindow(child, geometry_.effectiveEnabled(i));
    }
}

void FormWindow::invalidateOverlays(int index, const RECT& area) {
    for (int i : geometry_.transparentAbove(index)) {
        HWND label = controls_[static_cast<std::size_t>(i)].hwnd;
        if (label && intersects(currentRect(i), area)) InvalidateRect(label, nullptr, FALSE);
    }
}

void FormWindow::restartTimer(int index) {
    const auto id = kFirstTimerId + static_cast<UINT_PTR>(index);
    KillTimer(hwnd_.get(), id);
    const Control& c = controls_[static_cast<std::size_t>(index)];
    if (c.value > 0 && geometry_.effectiveEnabled(index) && alive())
        SetTimer(hwnd_.get(), id, static_cast<UINT>(c.value), nullptr);
}

// --- What the engine pushes

bool FormWindow::send(const NativeEvent& event) {
    if (!sink_) return false;
    auto keep = shared_from_this();
    return sink_->onEvent(event);
}

void FormWindow::close() {
    if (!sink_) return;
    // As when hiding: the windows a modal form disabled take over first.
    system_.modalHiding(*this);
    sink_ = nullptr;
    system_.forget(*this);
    for (int i = 0; i < geometry_.count(); ++i)
        if (geometry_.layout(i).kind == ControlKind::Timer) KillTimer(hwnd_.get(), kFirstTimerId + static_cast<UINT_PTR>(i));
    if (!hwnd_) return;
    if (procDepth_ == 0) {
        hwnd_.reset();
        return;
    }
    // One of this window's procedures is on the stack: destroying it now
    // would pull the window out from under it. The outermost one posts the
    // destruction when it returns.
    ShowWindow(hwnd_.get(), SW_HIDE);
    destroyPending_ = true;
    system_.destroyLater(shared_from_this());
}

void FormWindow::destroyIfClosed() {
    if (destroyPending_ && procDepth_ == 0) hwnd_.reset();
}

void FormWindow::setOwner(HWND owner) {
    if (hwnd_) SetWindowLongPtrW(hwnd_.get(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

bool FormWindow::hasNoSize() const {
    RECT outer{};
    return !hwnd_ || !GetWindowRect(hwnd_.get(), &outer) || IsRectEmpty(&outer);
}

void FormWindow::leaveProc() {
    if (--procDepth_ > 0 || !destroyPending_ || destroyPosted_ || !hwnd_) return;
    destroyPosted_ = PostMessageW(hwnd_.get(), kDestroyLater, 0, 0) != 0;
}

void FormWindow::setText(int index, const std::string& text) {
    if (index == kFormItself) {
        SetWindowTextW(hwnd_.get(), widen(text).c_str());
        return;
    }
    Control* c = control(index);
    if (!c) return;
    c->text = widen(text);
    if (!c->hwnd) return;
    if (geometry_.layout(index).kind != ControlKind::Label) {
        ++quietText_;
        SetWindowTextW(c->hwnd, c->text.c_str());
        --quietText_;
        return;
    }
    // The form draws a label's text itself. Its window holds the text too,
    // for whoever reads it, but storing it there is a round trip to the
    // server under Wine, and the index read changes the status thousands of
    // times a second: the window gets the newest text when it is read, now
    // and then while events are processed, and before the program waits for
    // input.
    c->windowTextOld = true;
    system_.windowTextsOld();
    if (geometry_.sizesToText(index)) place(index);
    if (!geometry_.transparentLabel(index)) {
        showLabelText(index);
        return;
    }
    InvalidateRect(c->hwnd, nullptr, FALSE);
    invalidateOverlays(index, currentRect(index));
}

void FormWindow::storeWindowText(Control& label) {
    if (!label.windowTextOld) return;
    label.windowTextOld = false;
    // The default procedure stores it as the static control's own would,
    // without the chain of subclasses, which looks up window properties at
    // every message.
    if (label.hwnd) DefWindowProcW(label.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.text.c_str()));
}

void FormWindow::storeWindowTexts() {
    for (Control& c : controls_) storeWindowText(c);
}

void FormWindow::setValue(int index, int value) {
    Control* c = control(index);
    if (!c) return;
    c->value = value;
    switch (geometry_.layout(index).kind) {
        case ControlKind::CheckBox:
            SendMessageW(c->hwnd, BM_SETCHECK, static_cast<WPARAM>(value == 2 ? BST_INDETERMINATE
                                                                   : value == 1 ? BST_CHECKED
                                                                                : BST_UNCHECKED),
                         0);
            break;
        case ControlKind::HScrollBar:
            SetScrollPos(c->hwnd, SB_CTL, value, TRUE);
            break;
        case ControlKind::Timer:
            restartTimer(index);
            break;
        default:
            break;
    }
}

void FormWindow::setRange(int index, int min, int max) {
    Control* c = control(index);
    if (!c) return;
    c->min = min;
    c->max = max;
    if (geometry_.layout(index).kind == ControlKind::HScrollBar && c->hwnd)
        SetScrollRange(c->hwnd, SB_CTL, std::min(min, max), std::max(min, max), TRUE);
}

void FormWindow::setVisible(int index, bool visible) {
    if (!geometry_.has(index)) return;
    geometry_.setVisible(index, visible);
    applyVisibility(index);
}

void FormWindow::setEnabled(int index, bool enabled) {
    if (!geometry_.has(index)) return;
    geometry_.setEnabled(index, enabled);
    applyEnabled(index);
}

void FormWindow::setBounds(int index, const TwipRect& rect) {
    if (!geometry_.has(index)) return;
    geometry_.setBounds(index, rect);
    for (int i : geometry_.withContents(index)) place(i);
}

void FormWindow::setSelection(int index, int start, int length) {
    Control* c = control(index);
    if (!c || !c->hwnd || geometry_.layout(index).kind != ControlKind::TextBox) return;
    // The engine counts characters; the edit control counts UTF-16 units.
    const int units = GetWindowTextLengthW(c->hwnd);
    std::wstring text(static_cast<std::size_t>(units) + 1, L'\0');
    GetWindowTextW(c->hwnd, text.data(), units + 1);
    auto unitOf = [&](int characters) {
        int unit = 0;
        for (int n = 0; n < characters && unit < units; ++n)
            unit += IS_HIGH_SURROGATE(text[static_cast<std::size_t>(unit)]) && unit + 1 < units ? 2 : 1;
        return unit;
    };
    const int from = unitOf(std::max(0, start));
    const int to = length < 0 ? units : unitOf(std::max(0, start) + length);
    SendMessageW(c->hwnd, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
    SendMessageW(c->hwnd, EM_SCROLLCARET, 0, 0);
}

void FormWindow::setFocus(int index) {
    HWND target = index == kFormItself ? hwnd_.get() : controlWindow(index);
    if (!target) return;
    if (!IsWindowVisible(hwnd_.get())) {
        // A hidden window cannot take the focus; it gets it when it is shown.
        lastFocus_ = target == hwnd_.get() ? nullptr : target;
        return;
    }
    SetFocus(target);
}

void FormWindow::setItems(int index, const std::vector<std::string>& items) {
    Control* c = control(index);
    if (!c || !c->hwnd || geometry_.layout(index).kind != ControlKind::ListBox) return;
    SendMessageW(c->hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c->hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(c->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    SendMessageW(c->hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c->hwnd, nullptr, TRUE);
}

void FormWindow::setListIndex(int index, int item) {
    Control* c = control(index);
    if (!c || !c->hwnd || geometry_.layout(index).kind != ControlKind::ListBox) return;
    SendMessageW(c->hwnd, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void FormWindow::setPicture(int index, std::shared_ptr<const Picture> picture, bool stretch) {
    Control* c = control(index);
    if (!c) return;
    c->picture = std::move(picture);
    c->stretch = stretch;
    if (!c->hwnd) return;
    InvalidateRect(c->hwnd, nullptr, FALSE);
    invalidateOverlays(index, currentRect(index));
}

void FormWindow::repaint(int index) {
    HWND target = index == kFormItself ? hwnd_.get() : controlWindow(index);
    if (!target) return;
    if (index != kFormItself) {
        // A painted label showed its new text at once.
        if (geometry_.paintedLabel(index) && controls_[static_cast<std::size_t>(index)].imageShown) return;
        // A control marks what a change of its text, value or place alters
        // (a static control even paints a new text at once); painting just
        // what is still marked shows it as it is, without redrawing the rest.
        RedrawWindow(target, nullptr, nullptr, RDW_UPDATENOW);
        return;
    }
    RedrawWindow(target, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

void FormWindow::centerOnWorkArea() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT outer{};
    GetWindowRect(hwnd_.get(), &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int x = work.left + (work.right - work.left - width) / 2;
    const int y = work.top + (work.bottom - work.top - height) / 2;
    SetWindowPos(hwnd_.get(), nullptr, std::max<int>(work.left, x), std::max<int>(work.top, y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::show() {
    if (!hwnd_) return;
    if (geometry_.form().centerOnScreen && !shownOnce_) centerOnWorkArea();
    shownOnce_ = true;
    ShowWindow(hwnd_.get(), SW_SHOW);
    SetForegroundWindow(hwnd_.get());
    SetActiveWindow(hwnd_.get());
}

void FormWindow::hide() {
    if (!hwnd_) return;
    // Give the other windows back before this one goes, so that one of them
    // is activated in its place.
    system_.modalHiding(*this);
    ShowWindow(hwnd_.get(), SW_HIDE);
}

TwipRect FormWindow::windowRect() const {
    RECT outer{};
    GetWindowRect(hwnd_.get(), &outer);
    // A minimised window sits far off the screen; its place is where it will
    // be restored, which is what a caller stores and shows again.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (IsIconic(hwnd_.get()) && GetWindowPlacement(hwnd_.get(), &placement)) outer = placement.rcNormalPosition;
    const UINT dpi = systemDpi();
    return {pixelsToTwips(outer.left, dpi), pixelsToTwips(outer.top, dpi),
            pixelsToTwips(outer.right - outer.left, dpi), pixelsToTwips(outer.bottom - outer.top, dpi)};
}

void FormWindow::moveWindow(const TwipRect& rect) {
    const UINT dpi = systemDpi();
    SetWindowPos(hwnd_.get(), nullptr, twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi),
                 std::max(0, twipsToPixels(rect.width, dpi)), std::max(0, twipsToPixels(rect.height, dpi)),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::restoreFocus() {
    HWND target = nullptr;
    if (lastFocus_ && IsWindow(lastFocus_) && hasVisibleStyle(lastFocus_) && IsWindowEnabled(lastFocus_))
        target = lastFocus_;
    for (int i : geometry_.tabOrder()) {
        HWND child = controls_[static_cast<std::size_t>(i)].hwnd;
        if (target) break;
        if (child && hasVisibleStyle(child) && IsWindowEnabled(child)) target = child;
    }
    SetFocus(target ? target : hwnd_.get());
}

}  // namespace pictavo::platform::win32
