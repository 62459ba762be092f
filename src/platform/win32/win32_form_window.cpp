#include "platform/win32/win32_form_window.h"

#include <commctrl.h>

#include <algorithm>
#include <numeric>

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
    : system_(system), layout_(layout), sink_(&sink) {
    controls_.resize(layout_.controls.size());
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        const ControlLayout& s = layout_.controls[i];
        c.layout = &s;
        c.bounds = {s.left, s.top, s.width, s.height};
        c.visible = s.visible;
        c.value = s.value;
        c.min = s.min;
        c.max = s.max;
        c.text = widen(s.caption);
        if (!s.parent.empty())
            for (std::size_t p = 0; p < layout_.controls.size(); ++p)
                if (p != i && layout_.controls[p].name == s.parent && layout_.controls[p].kind == ControlKind::Frame)
                    c.parent = static_cast<int>(p);
    }
    if (layout_.backColor != kDefaultColor) ownBrush_.reset(CreateSolidBrush(static_cast<COLORREF>(layout_.backColor)));
}

bool FormWindow::build() {
    const DWORD style = formStyle(layout_);
    const DWORD exStyle = formExStyle(layout_);
    const UINT screenDpi = systemDpi();
    const int x = twipsToPixels(layout_.left, screenDpi);
    const int y = twipsToPixels(layout_.top, screenDpi);
    HWND created = CreateWindowExW(exStyle, layout_.border == Border::None ? kPopupClass : kFormClass,
                                   widen(layout_.caption).c_str(), style, x, y, 0, 0, nullptr, nullptr,
                                   system_.instance(), this);
    if (!created) return false;
    hwnd_.reset(created);
    self_ = shared_from_this();
    dpi_ = windowDpi(created);

    RECT outer{0, 0, twipsToPixels(layout_.clientWidth, dpi_), twipsToPixels(layout_.clientHeight, dpi_)};
    adjustWindowRect(outer, style, exStyle, dpi_);
    SetWindowPos(created, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (layout_.appIcon) {
        if (HICON big = system_.appIcon(false)) SendMessageW(created, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON smallIcon = system_.appIcon(true))
            SendMessageW(created, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }

    createControls();
    arrangeZOrder();
    applyFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) place(static_cast<int>(i));
    addTooltips();
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].layout->kind == ControlKind::Timer) restartTimer(static_cast<int>(i));
    return true;
}

void FormWindow::createControls() {
    ++quietText_;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        const ControlClass cls = controlClass(*c.layout);
        if (!cls.className) continue;
        DWORD style = cls.style;
        if (!effectiveVisible(static_cast<int>(i))) style &= ~static_cast<DWORD>(WS_VISIBLE);
        c.hwnd = CreateWindowExW(cls.exStyle, cls.className, c.text.c_str(), style, 0, 0, 0, 0, hwnd_.get(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
                                 system_.instance(), nullptr);
        if (!c.hwnd) continue;
        SetWindowSubclass(c.hwnd, controlProc, i, reinterpret_cast<DWORD_PTR>(this));
        switch (c.layout->kind) {
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
    // Top to bottom: the controls that take the focus in tab order (which is
    // also the order the dialog manager tabs through), then the other
    // controls as listed, then the frames, inner before outer, so that every
    // frame lies below its contents.
    auto depth = [this](int i) {
        int d = 0;
        anyOutward(controls_[static_cast<std::size_t>(i)].parent, [&d](int) { return ++d, false; });
        return d;
    };
    std::vector<int> order(controls_.size());
    std::iota(order.begin(), order.end(), 0);
    auto group = [this](int i) {
        const ControlLayout& s = *controls_[static_cast<std::size_t>(i)].layout;
        if (s.kind == ControlKind::Frame) return 2;
        return s.tabIndex >= 0 && takesFocus(s.kind) ? 0 : 1;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int ga = group(a), gb = group(b);
        if (ga != gb) return ga < gb;
        if (ga == 0) return controls_[static_cast<std::size_t>(a)].layout->tabIndex <
                            controls_[static_cast<std::size_t>(b)].layout->tabIndex;
        if (ga == 2) return depth(a) > depth(b);
        return false;
    });
    HWND after = HWND_TOP;
    int rank = 0;
    for (int i : order) {
        Control& c = controls_[static_cast<std::size_t>(i)];
        c.zRank = rank++;
        if (!c.hwnd) continue;
        SetWindowPos(c.hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = c.hwnd;
    }
}

void FormWindow::applyFonts() {
    const std::vector<HFONT> fonts = fittedFonts(system_.fonts(), layout_, dpi_);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        c.font = fonts[i];
        c.image.forget();
        if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    }
}

void FormWindow::addTooltips() {
    bool any = false;
    for (const Control& c : controls_) any = any || (c.hwnd && !c.layout->tooltip.empty());
    if (!any) return;
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_.get(), nullptr,
                               system_.instance(), nullptr);
    if (!tooltip_) return;
    for (Control& c : controls_) {
        if (!c.hwnd || c.layout->tooltip.empty()) continue;
        std::wstring text = widen(c.layout->tooltip);
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
        tool.hwnd = hwnd_.get();
        tool.uId = reinterpret_cast<UINT_PTR>(c.hwnd);
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

bool FormWindow::transparentLabel(int index) const {
    const ControlLayout& s = *controls_[static_cast<std::size_t>(index)].layout;
    return s.kind == ControlKind::Label && s.transparent;
}

bool FormWindow::paintedLabel(int index) const {
    const ControlLayout& s = *controls_[static_cast<std::size_t>(index)].layout;
    return s.kind == ControlKind::Label && !s.transparent;
}

void FormWindow::drawLabelImage(int index) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    const COLORREF color =
        c.layout->foreColor == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : static_cast<COLORREF>(c.layout->foreColor);
    c.image.draw(c.hwnd, c.text, {c.font, color, backBrush(), IsWindowEnabled(c.hwnd) != 0, !c.layout->autoSize});
}

void FormWindow::showLabelText(int index) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    c.image.forget();
    c.imageShown = false;
    if (!IsWindowVisible(c.hwnd)) return;
    drawLabelImage(index);
    unique_window_dc dc(c.hwnd);
    if (!dc) return;
    c.image.copyTo(dc.get());
    c.imageShown = true;
}

COLORREF FormWindow::backColor() const {
    return layout_.backColor == kDefaultColor ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(layout_.backColor);
}

HBRUSH FormWindow::backBrush() const {
    return ownBrush_ ? ownBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

// --- Layout

RECT FormWindow::pixelRect(int index) const {
    const Control& c = controls_[static_cast<std::size_t>(index)];
    double originX = 0, originY = 0;
    anyOutward(c.parent, [&](int p) {
        originX += controls_[static_cast<std::size_t>(p)].bounds.left;
        originY += controls_[static_cast<std::size_t>(p)].bounds.top;
        return false;
    });
    if (c.layout->kind == ControlKind::Line) {
        // A line's width and height hold its second point.
        const int x1 = twipsToPixels(originX + c.bounds.left, dpi_);
        const int y1 = twipsToPixels(originY + c.bounds.top, dpi_);
        const int x2 = twipsToPixels(originX + c.bounds.width, dpi_);
        const int y2 = twipsToPixels(originY + c.bounds.height, dpi_);
        const int extra = c.layout->foreColor == kDefaultColor ? 2 : 1;
        return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + extra, std::max(y1, y2) + extra};
    }
    const int left = twipsToPixels(originX + c.bounds.left, dpi_);
    const int top = twipsToPixels(originY + c.bounds.top, dpi_);
    if (c.layout->kind == ControlKind::Label && c.layout->autoSize && c.hwnd) {
        const SIZE size = measureText(c.hwnd, c.font, c.text);
        return {left, top, left + size.cx, top + size.cy};
    }
    return {left, top, left + std::max(0, twipsToPixels(c.bounds.width, dpi_)),
            top + std::max(0, twipsToPixels(c.bounds.height, dpi_))};
}

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
    const RECT before = currentRect(index);
    const RECT rect = pixelRect(index);
    if (EqualRect(&before, &rect)) return;
    SetWindowPos(c.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    c.imageShown = false;
    invalidateOverlays(index, unite(before, rect));
}

void FormWindow::placeWithContents(int index) {
    place(index);
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (inside(controls_[i].parent, index)) place(static_cast<int>(i));
}

bool FormWindow::anyOutward(int index, const std::function<bool(int)>& test) const {
    // The guard ends a chain of frames that a faulty layout made circular.
    for (int i = index, guard = 0; i >= 0 && guard < 64; i = controls_[static_cast<std::size_t>(i)].parent, ++guard)
        if (test(i)) return true;
    return false;
}

bool FormWindow::inside(int index, int frame) const {
    return anyOutward(index, [frame](int i) { return i == frame; });
}

bool FormWindow::effectiveVisible(int index) const {
    return !anyOutward(index, [this](int i) { return !controls_[static_cast<std::size_t>(i)].visible; });
}

bool FormWindow::effectiveEnabled(int index) const {
    return !anyOutward(index, [this](int i) { return !controls_[static_cast<std::size_t>(i)].enabled; });
}

void FormWindow::applyVisibility(int index) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (!inside(static_cast<int>(i), index) || !controls_[i].hwnd) continue;
        const bool show = effectiveVisible(static_cast<int>(i));
        if (show == hasVisibleStyle(controls_[i].hwnd)) continue;
        ShowWindow(controls_[i].hwnd, show ? SW_SHOWNA : SW_HIDE);
        controls_[i].imageShown = false;
        invalidateOverlays(static_cast<int>(i), currentRect(static_cast<int>(i)));
    }
}

void FormWindow::applyEnabled(int index) {
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (!inside(static_cast<int>(i), index)) continue;
        if (controls_[i].layout->kind == ControlKind::Timer)
            restartTimer(static_cast<int>(i));
        else if (controls_[i].hwnd)
            EnableWindow(controls_[i].hwnd, effectiveEnabled(static_cast<int>(i)));
    }
}

void FormWindow::invalidateOverlays(int index, const RECT& area) {
    // A transparent label shows what lies below it; when that changes, the
    // label must draw itself again.
    const int rank = controls_[static_cast<std::size_t>(index)].zRank;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const Control& c = controls_[i];
        if (static_cast<int>(i) == index || c.zRank >= rank || !c.hwnd || !transparentLabel(static_cast<int>(i)))
            continue;
        if (intersects(currentRect(static_cast<int>(i)), area)) InvalidateRect(c.hwnd, nullptr, FALSE);
    }
}

void FormWindow::restartTimer(int index) {
    const auto id = kFirstTimerId + static_cast<UINT_PTR>(index);
    KillTimer(hwnd_.get(), id);
    const Control& c = controls_[static_cast<std::size_t>(index)];
    if (c.value > 0 && effectiveEnabled(index) && alive())
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
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].layout->kind == ControlKind::Timer) KillTimer(hwnd_.get(), kFirstTimerId + i);
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
    if (c->layout->kind != ControlKind::Label) {
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
    if (c->layout->autoSize) place(index);
    if (!transparentLabel(index)) {
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
    switch (c->layout->kind) {
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
    if (c->layout->kind == ControlKind::HScrollBar && c->hwnd)
        SetScrollRange(c->hwnd, SB_CTL, std::min(min, max), std::max(min, max), TRUE);
}

void FormWindow::setVisible(int index, bool visible) {
    Control* c = control(index);
    if (!c) return;
    c->visible = visible;
    applyVisibility(index);
}

void FormWindow::setEnabled(int index, bool enabled) {
    Control* c = control(index);
    if (!c) return;
    c->enabled = enabled;
    applyEnabled(index);
}

void FormWindow::setBounds(int index, const TwipRect& rect) {
    Control* c = control(index);
    if (!c) return;
    c->bounds = rect;
    placeWithContents(index);
}

void FormWindow::setSelection(int index, int start, int length) {
    Control* c = control(index);
    if (!c || !c->hwnd || c->layout->kind != ControlKind::TextBox) return;
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
    if (!c || !c->hwnd || c->layout->kind != ControlKind::ListBox) return;
    SendMessageW(c->hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageW(c->hwnd, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
        SendMessageW(c->hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
    SendMessageW(c->hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c->hwnd, nullptr, TRUE);
}

void FormWindow::setListIndex(int index, int item) {
    Control* c = control(index);
    if (!c || !c->hwnd || c->layout->kind != ControlKind::ListBox) return;
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
        if (paintedLabel(index) && controls_[static_cast<std::size_t>(index)].imageShown) return;
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
    if (layout_.centerOnScreen && !shownOnce_) centerOnWorkArea();
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
    if (!target) {
        int best = -1;
        for (std::size_t i = 0; i < controls_.size(); ++i) {
            const Control& c = controls_[i];
            if (!c.hwnd || c.layout->tabIndex < 0 || !takesFocus(c.layout->kind) || !hasVisibleStyle(c.hwnd) ||
                !IsWindowEnabled(c.hwnd))
                continue;
            if (best < 0 || c.layout->tabIndex < controls_[static_cast<std::size_t>(best)].layout->tabIndex)
                best = static_cast<int>(i);
        }
        if (best >= 0) target = controls_[static_cast<std::size_t>(best)].hwnd;
    }
    SetFocus(target ? target : hwnd_.get());
}

}  // namespace pictavo::platform::win32
