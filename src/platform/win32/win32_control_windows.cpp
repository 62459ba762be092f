#include "platform/win32/win32_control_windows.h"

#include <algorithm>
#include <utility>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_caption_fit.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_form_shared.h"

namespace pictavo::platform::win32 {

namespace {

RECT unite(const RECT& a, const RECT& b) {
    RECT both{};
    UnionRect(&both, &a, &b);
    return both;
}

}  // namespace

ControlWindows::ControlWindows(const FormLayout& layout) : geometry_(layout), controls_(layout.controls.size()) {
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

void ControlWindows::create(HWND form, HINSTANCE instance, FontCache& fonts, UINT dpi, SUBCLASSPROC proc,
                            DWORD_PTR data) {
    form_ = form;
    dpi_ = dpi;
    ++quietText_;
    for (int i = 0; i < geometry_.count(); ++i) {
        Control& c = controls_[static_cast<std::size_t>(i)];
        const ControlLayout& s = geometry_.layout(i);
        const ControlClass cls = controlClass(s);
        if (!cls.className) continue;
        DWORD style = cls.style;
        if (!geometry_.effectiveVisible(i)) style &= ~static_cast<DWORD>(WS_VISIBLE);
        c.hwnd = CreateWindowExW(cls.exStyle, cls.className, c.text.c_str(), style, 0, 0, 0, 0, form,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
        if (!c.hwnd) continue;
        SetWindowSubclass(c.hwnd, proc, static_cast<UINT_PTR>(i), data);
        if (s.kind == ControlKind::HScrollBar) showRange(c.hwnd, c.min, c.max, false);
        showValue(c.hwnd, s.kind, c.value);
    }
    --quietText_;

    HWND after = HWND_TOP;
    for (int i : geometry_.zOrder()) {
        if (HWND child = window(i)) {
            SetWindowPos(child, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = child;
        }
    }
    applyFonts(fonts);
    for (int i = 0; i < geometry_.count(); ++i) place(i);
    std::vector<std::pair<HWND, std::string>> tips;
    for (int i = 0; i < geometry_.count(); ++i)
        if (const std::string& tip = geometry_.layout(i).tooltip; window(i) && !tip.empty())
            tips.emplace_back(window(i), tip);
    addTooltips(form, instance, tips);
    for (int i = 0; i < geometry_.count(); ++i)
        if (geometry_.layout(i).kind == ControlKind::Timer) restartTimer(i);
}

void ControlWindows::rescale(FontCache& fonts, UINT dpi) {
    dpi_ = dpi;
    applyFonts(fonts);
    for (int i = 0; i < geometry_.count(); ++i) place(i);
}

void ControlWindows::applyFonts(FontCache& fonts) {
    const std::vector<HFONT> fitted = fittedFonts(fonts, geometry_.form(), dpi_);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        Control& c = controls_[i];
        c.font = fitted[i];
        c.image.forget();
        if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(c.font), FALSE);
    }
}

void ControlWindows::stopTimers() {
    timersRun_ = false;
    for (int i = 0; i < geometry_.count(); ++i)
        if (geometry_.layout(i).kind == ControlKind::Timer) KillTimer(form_, kFirstTimerId + static_cast<UINT_PTR>(i));
}

void ControlWindows::restartTimer(int index) {
    const auto id = kFirstTimerId + static_cast<UINT_PTR>(index);
    KillTimer(form_, id);
    const Control& c = controls_[static_cast<std::size_t>(index)];
    if (c.value > 0 && geometry_.effectiveEnabled(index) && timersRun_)
        SetTimer(form_, id, static_cast<UINT>(c.value), nullptr);
}

ControlWindows::Control* ControlWindows::control(int index) {
    return geometry_.has(index) ? &controls_[static_cast<std::size_t>(index)] : nullptr;
}

HWND ControlWindows::window(int index) const {
    return geometry_.has(index) ? controls_[static_cast<std::size_t>(index)].hwnd : nullptr;
}

int ControlWindows::indexOf(HWND child) const {
    if (!child) return -1;
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].hwnd == child) return static_cast<int>(i);
    return -1;
}

COLORREF ControlWindows::backColor() const {
    const std::uint32_t color = geometry_.form().backColor;
    return color == kDefaultColor ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(color);
}

HBRUSH ControlWindows::backBrush() const {
    return ownBrush_ ? ownBrush_.get() : GetSysColorBrush(COLOR_BTNFACE);
}

// --- Places

RECT ControlWindows::currentRect(int index) const {
    RECT rect{};
    HWND child = window(index);
    if (!child) return rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, form_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ControlWindows::place(int index) {
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

void ControlWindows::invalidateOverlays(int index, const RECT& area) {
    for (int i : geometry_.transparentAbove(index))
        if (HWND label = window(i); label && intersects(currentRect(i), area)) InvalidateRect(label, nullptr, FALSE);
}

// --- What the engine pushes

bool ControlWindows::setText(int index, const std::string& text) {
    Control* c = control(index);
    if (!c) return false;
    c->text = widen(text);
    if (!c->hwnd) return false;
    if (geometry_.layout(index).kind != ControlKind::Label) {
        ++quietText_;
        SetWindowTextW(c->hwnd, c->text.c_str());
        --quietText_;
        return false;
    }
    // The form draws a label's text itself. Its window holds the text too,
    // for whoever reads it, but the index read changes the status thousands
    // of times a second: the window gets the newest text when it is read,
    // now and then while events are processed, and before the program waits
    // for input.
    // Wine: storing a window's text is a round trip to the wineserver.
    c->windowTextOld = true;
    if (geometry_.sizesToText(index)) place(index);
    if (!geometry_.transparentLabel(index)) {
        c->image.forget();
        c->imageShown = c->image.show(c->hwnd, c->text, labelLook(index));
        return true;
    }
    InvalidateRect(c->hwnd, nullptr, FALSE);
    invalidateOverlays(index, currentRect(index));
    return true;
}

void ControlWindows::storeWindowText(Control& label) {
    if (!label.windowTextOld) return;
    label.windowTextOld = false;
    // The default procedure stores it as the static control's own would,
    // without the chain of subclasses, which looks up window properties at
    // every message.
    if (label.hwnd) DefWindowProcW(label.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(label.text.c_str()));
}

void ControlWindows::storeWindowTexts() {
    for (Control& c : controls_) storeWindowText(c);
}

void ControlWindows::setValue(int index, int value) {
    Control* c = control(index);
    if (!c) return;
    c->value = value;
    if (geometry_.layout(index).kind == ControlKind::Timer)
        restartTimer(index);
    else
        showValue(c->hwnd, geometry_.layout(index).kind, value);
}

void ControlWindows::setRange(int index, int min, int max) {
    Control* c = control(index);
    if (!c) return;
    c->min = min;
    c->max = max;
    if (geometry_.layout(index).kind == ControlKind::HScrollBar && c->hwnd) showRange(c->hwnd, min, max, true);
}

void ControlWindows::setVisible(int index, bool visible) {
    if (!geometry_.has(index)) return;
    geometry_.setVisible(index, visible);
    for (int i : geometry_.withContents(index)) {
        HWND child = window(i);
        const bool show = geometry_.effectiveVisible(i);
        if (!child || show == hasVisibleStyle(child)) continue;
        ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
        controls_[static_cast<std::size_t>(i)].imageShown = false;
        invalidateOverlays(i, currentRect(i));
    }
}

void ControlWindows::setEnabled(int index, bool enabled) {
    if (!geometry_.has(index)) return;
    geometry_.setEnabled(index, enabled);
    for (int i : geometry_.withContents(index)) {
        if (geometry_.layout(i).kind == ControlKind::Timer)
            restartTimer(i);
        else if (HWND child = window(i))
            EnableWindow(child, geometry_.effectiveEnabled(i));
    }
}

void ControlWindows::setBounds(int index, const TwipRect& rect) {
    if (!geometry_.has(index)) return;
    geometry_.setBounds(index, rect);
    for (int i : geometry_.withContents(index)) place(i);
}

void ControlWindows::setSelection(int index, int start, int length) {
    if (HWND edit = window(index); edit && geometry_.layout(index).kind == ControlKind::TextBox)
        selectCharacters(edit, start, length);
}

void ControlWindows::setItems(int index, const std::vector<std::string>& items) {
    if (HWND list = window(index); list && geometry_.layout(index).kind == ControlKind::ListBox) fillList(list, items);
}

void ControlWindows::setListIndex(int index, int item) {
    if (HWND list = window(index); list && geometry_.layout(index).kind == ControlKind::ListBox)
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void ControlWindows::setPicture(int index, std::shared_ptr<const Picture> picture, bool stretch) {
    Control* c = control(index);
    if (!c) return;
    c->picture = std::move(picture);
    c->stretch = stretch;
    if (!c->hwnd) return;
    InvalidateRect(c->hwnd, nullptr, FALSE);
    invalidateOverlays(index, currentRect(index));
}

void ControlWindows::repaint(int index) {
    HWND target = window(index);
    if (!target) return;
    // A painted label showed its new text at once.
    if (geometry_.paintedLabel(index) && controls_[static_cast<std::size_t>(index)].imageShown) return;
    // A control marks what a change of its text, value or place alters
    // (a static control even paints a new text at once); painting just
    // what is still marked shows it as it is, without redrawing the rest.
    RedrawWindow(target, nullptr, nullptr, RDW_UPDATENOW);
}

// --- What the user does

std::optional<std::string> ControlWindows::userText(int index) {
    Control* c = control(index);
    if (!c || !c->hwnd || quietText_ > 0) return std::nullopt;
    c->text = windowText(c->hwnd);
    return narrow(c->text);
}

std::optional<int> ControlWindows::scroll(int index, int action) {
    Control* c = control(index);
    if (!c || !c->hwnd || geometry_.layout(index).kind != ControlKind::HScrollBar) return std::nullopt;
    const std::optional<int> value = scrolledTo(c->hwnd, action, geometry_.layout(index), c->min, c->max);
    if (!value) return std::nullopt;
    SetScrollPos(c->hwnd, SB_CTL, *value, TRUE);
    c->value = *value;
    return value;
}

// --- Messages and painting

std::optional<LRESULT> ControlWindows::handle(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlKind kind = geometry_.layout(index).kind;
    const bool painted = kind == ControlKind::Image || kind == ControlKind::Line || kind == ControlKind::Label;
    Control& c = controls_[static_cast<std::size_t>(index)];
    switch (message) {
        case WM_ERASEBKGND:
            if (kind == ControlKind::Frame) {
                RECT client{};
                GetClientRect(hwnd, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush());
                return 1;
            }
            if (painted) return 1;
            break;
        case WM_PRINTCLIENT:
            if (!painted) break;
            paint(index, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_PAINT:
            if (!painted) break;
            {
                paint_scope scope(hwnd);
                paint(index, scope.dc());
            }
            c.imageShown = true;
            return 0;
        case WM_SETTEXT:
            // The static control would paint its new text at once, over
            // whatever is there; the form paints its labels itself.
            if (kind == ControlKind::Label) return DefWindowProcW(hwnd, message, wParam, lParam);
            break;
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (kind == ControlKind::Label) storeWindowText(c);
            break;
        case WM_ENABLE:
            if (kind != ControlKind::Label) break;
            c.image.forget();
            c.imageShown = false;
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        default:
            break;
    }
    return std::nullopt;
}

void ControlWindows::paint(int index, HDC dc) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    const ControlLayout& s = geometry_.layout(index);
    RECT client{};
    GetClientRect(c.hwnd, &client);
    if (s.kind == ControlKind::Image) {
        paintImage(dc, client, c.picture.get(), c.stretch, backBrush());
    } else if (s.kind == ControlKind::Line) {
        paintLine(dc, client, geometry_.lineFromTopLeft(index), s.foreColor, backBrush());
    } else if (geometry_.transparentLabel(index)) {
        paintTransparentLabel(dc, index);
    } else {
        c.image.draw(c.hwnd, c.text, labelLook(index));
        c.image.copyTo(dc);
    }
}

LabelLook ControlWindows::labelLook(int index) const {
    const Control& c = controls_[static_cast<std::size_t>(index)];
    const ControlLayout& s = geometry_.layout(index);
    return {c.font, labelColor(s.foreColor), backBrush(), IsWindowEnabled(c.hwnd) != 0, !s.autoSize};
}

void ControlWindows::paintTransparentLabel(HDC dc, int index) {
    const RECT own = currentRect(index);
    std::vector<LabelUnderlay> below;
    for (int i : geometry_.seenThrough(index)) {
        const Control& c = controls_[static_cast<std::size_t>(i)];
        const RECT r = currentRect(i);
        if (!c.hwnd || !hasVisibleStyle(c.hwnd) || !intersects(r, own)) continue;
        const RECT area{r.left - own.left, r.top - own.top, r.right - own.left, r.bottom - own.top};
        if (geometry_.layout(i).kind == ControlKind::Image)
            below.push_back({area, true, c.picture.get(), c.stretch, nullptr, {}});
        else
            below.push_back({area, false, nullptr, false, &c.text, labelLook(i)});
    }
    const Control& label = controls_[static_cast<std::size_t>(index)];
    paintLabelOver(dc, label.hwnd, below, label.text, labelLook(index));
}

LRESULT ControlWindows::colors(HDC dc, HWND child) const {
    const int index = indexOf(child);
    const ControlLayout* s = index >= 0 ? &geometry_.layout(index) : nullptr;
    if (s && s->foreColor != kDefaultColor && s->kind != ControlKind::Line)
        SetTextColor(dc, static_cast<COLORREF>(s->foreColor));
    if (s && geometry_.transparentLabel(index)) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    SetBkColor(dc, backColor());
    return reinterpret_cast<LRESULT>(backBrush());
}

}  // namespace pictavo::platform::win32
