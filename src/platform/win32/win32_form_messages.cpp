// The form window's procedures: messages of the form and of its controls,
// painting of transparent labels, pointers, commands and scrolling.

#include "platform/win32/win32_form_window.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_form_shared.h"
#include "platform/win32/win32_window_system.h"

namespace pictavo::platform::win32 {

// --- Window procedures

void FormWindow::registerClasses(HINSTANCE instance) {
    for (const wchar_t* name : {kFormClass, kPopupClass}) {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = windowProc;
        cls.hInstance = instance;
        cls.lpszClassName = name;
        RegisterClassExW(&cls);  // already registered on a second window system: fine
    }
    registerControlClasses(instance);
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window || !window->self_) {
        if (message == WM_CLOSE) return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto keep = window->shared_from_this();
    ++window->procDepth_;
    const LRESULT result = window->handle(hwnd, message, wParam, lParam);
    window->leaveProc();
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        window->self_.reset();
    }
    return result;
}

LRESULT FormWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return 0;
        case kDestroyLater:
            destroyPosted_ = false;
            if (destroyPending_ && procDepth_ == 1) hwnd_.reset();
            return 0;
        case WM_CLOSE:
            // The desktop may ask the enabled owner of a modal form to close.
            if (!system_.heldByModal(*this)) send({EventKind::CloseBox, kFormItself, 0, {}});
            return 0;  // the engine decides; only closing the NativeForm destroys the window
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) lastFocus_ = focus;
                send({EventKind::LostFocus, kFormItself, 0, {}});
            } else if (!HIWORD(wParam)) {
                // Wine activates a hidden window that is moved without
                // SWP_NOACTIVATE (as making it layered does). Its controls
                // take the focus when it is shown, not before: a text box
                // that selects its text on focus must find the text it opens with.
                if (IsWindowVisible(hwnd)) restoreFocus();
                send({EventKind::GotFocus, kFormItself, 0, {}});
            }
            return 0;
        case WM_COMMAND: {
            // The dialog manager's own IDOK and IDCANCEL carry the focused
            // control as sender; only a control's notification counts.
            const int index = indexOf(reinterpret_cast<HWND>(lParam));
            if (index >= 0 && LOWORD(wParam) == kFirstControlId + index) command(index, HIWORD(wParam));
            return 0;
        }
        case WM_HSCROLL: {
            const int index = indexOf(reinterpret_cast<HWND>(lParam));
            if (index >= 0) scroll(index, LOWORD(wParam));
            return 0;
        }
        case WM_TIMER: {
            if (wParam < kFirstTimerId) break;
            const auto index = static_cast<int>(wParam - kFirstTimerId);
            if (geometry_.has(index) && geometry_.layout(index).kind == ControlKind::Timer)
                send({EventKind::Timer, index, 0, {}});
            return 0;
        }
        case WM_MOVE:
            send({EventKind::Moved, kFormItself, 0, {}});
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: {
            const int button = message == WM_LBUTTONDOWN ? 1 : message == WM_RBUTTONDOWN ? 2 : 4;
            send({EventKind::MouseDown, kFormItself, button, {}});
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return colors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush());
            return 1;
        }
        case WM_PAINT: {
            paint_scope paint(hwnd);
            return 0;
        }
        case WM_SETCURSOR:
            if (setCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
            if (reinterpret_cast<HWND>(wParam) != hwnd && LOWORD(lParam) == HTCLIENT) return FALSE;
            break;
        case WM_DPICHANGED:
            dpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) {
    auto* window = reinterpret_cast<FormWindow*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, controlProc, id);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    auto keep = window->shared_from_this();
    ++window->procDepth_;
    const LRESULT result = window->handleControl(static_cast<int>(id), hwnd, message, wParam, lParam);
    window->leaveProc();
    return result;
}

LRESULT FormWindow::handleControl(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlLayout& s = geometry_.layout(index);
    Control& c = controls_[static_cast<std::size_t>(index)];
    switch (message) {
        case WM_SETFOCUS: {
            const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
            lastFocus_ = hwnd;
            send({EventKind::GotFocus, index, 0, {}});
            return result;
        }
        case WM_ERASEBKGND:
            if (s.kind == ControlKind::Frame) {
                RECT client{};
                GetClientRect(hwnd, &client);
                FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush());
                return 1;
            }
            if (s.kind == ControlKind::Image || s.kind == ControlKind::Line || s.kind == ControlKind::Label) return 1;
            break;
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            if (s.kind != ControlKind::Image && s.kind != ControlKind::Line && s.kind != ControlKind::Label) break;
            auto draw = [&](HDC dc) {
                RECT client{};
                GetClientRect(hwnd, &client);
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
            };
            if (message == WM_PRINTCLIENT) {
                draw(reinterpret_cast<HDC>(wParam));
            } else {
                paint_scope paint(hwnd);
                draw(paint.dc());
                c.imageShown = true;
            }
            return 0;
        }
        case WM_SETTEXT:
            // The static control would paint its new text at once, over
            // whatever is there; the form paints its labels itself.
            if (s.kind == ControlKind::Label) return DefWindowProcW(hwnd, message, wParam, lParam);
            break;
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (s.kind == ControlKind::Label) storeWindowText(c);
            break;
        case WM_ENABLE:
            if (s.kind == ControlKind::Label) {
                c.image.forget();
                c.imageShown = false;
                InvalidateRect(hwnd, nullptr, FALSE);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void FormWindow::paintTransparentLabel(HDC dc, int index) {
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

LRESULT FormWindow::colors(HDC dc, HWND child) {
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

bool FormWindow::setCursor(HWND under, int hitTest) {
    if (hitTest != HTCLIENT) return false;
    Pointer pointer = Pointer::Default;
    if (under == hwnd_.get()) {
        pointer = geometry_.form().pointer;
    } else if (const int index = indexOf(under); index >= 0) {
        pointer = geometry_.layout(index).pointer;
    } else {
        return false;
    }
    HCURSOR cursor = system_.pointers().get(pointer);
    if (!cursor && under == hwnd_.get()) cursor = LoadCursorW(nullptr, IDC_ARROW);
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

void FormWindow::command(int index, int code) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    switch (geometry_.layout(index).kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) send({EventKind::Click, index, 0, {}});
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED) send({EventKind::Click, index, 0, {}});
            else if (code == STN_DBLCLK) send({EventKind::DblClick, index, 0, {}});
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE && quietText_ == 0) {
                const int length = GetWindowTextLengthW(c.hwnd);
                std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
                text.resize(static_cast<std::size_t>(GetWindowTextW(c.hwnd, text.data(), length + 1)));
                c.text = text;
                send({EventKind::TextChanged, index, 0, narrow(text)});
            }
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                const auto item = static_cast<int>(SendMessageW(c.hwnd, LB_GETCURSEL, 0, 0));
                send({EventKind::Click, index, item, {}});
            } else if (code == LBN_DBLCLK) {
                send({EventKind::DblClick, index, 0, {}});
            }
            break;
        default:
            break;
    }
}

void FormWindow::scroll(int index, int code) {
    Control& c = controls_[static_cast<std::size_t>(index)];
    const ControlLayout& s = geometry_.layout(index);
    if (s.kind != ControlKind::HScrollBar || !c.hwnd) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(c.hwnd, SB_CTL, &info);
    const int low = std::min(c.min, c.max), high = std::max(c.min, c.max);
    int value = info.nPos;
    switch (code) {
        case SB_LINELEFT: value -= s.smallChange; break;
        case SB_LINERIGHT: value += s.smallChange; break;
        case SB_PAGELEFT: value -= s.largeChange; break;
        case SB_PAGERIGHT: value += s.largeChange; break;
        case SB_LEFT: value = low; break;
        case SB_RIGHT: value = high; break;
        case SB_THUMBPOSITION: value = info.nTrackPos; break;
        default: return;  // dragging, end of scroll
    }
    value = std::clamp(value, low, high);
    SetScrollPos(c.hwnd, SB_CTL, value, TRUE);
    c.value = value;
    send({EventKind::Scrolled, index, value, {}});
}

void FormWindow::dpiChanged(UINT dpi, const RECT* suggested) {
    if (dpi == 0) return;
    dpi_ = dpi;
    applyFonts();
    for (std::size_t i = 0; i < controls_.size(); ++i) place(static_cast<int>(i));
    if (suggested)
        SetWindowPos(hwnd_.get(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_.get(), nullptr, TRUE);
}

}  // namespace pictavo::platform::win32
