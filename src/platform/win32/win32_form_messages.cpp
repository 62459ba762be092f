// The form window's procedures: messages of the form and of its controls,
// pointers, commands and scrolling.

#include "platform/win32/win32_form_window.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/win32/win32_controls.h"
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
            // Wine: the desktop may ask the owner that stands in for a modal
            // form of no size to close (see runLoop).
            if (!system_.heldByModal(*this)) send({EventKind::CloseBox, kFormItself, 0, {}});
            return 0;  // the engine decides; only closing the NativeForm destroys the window
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd, focus)) lastFocus_ = focus;
                send({EventKind::LostFocus, kFormItself, 0, {}});
            } else if (!HIWORD(wParam)) {
                // Its controls take the focus when it is shown, not before: a
                // text box that selects its text on focus must find the text
                // it opens with.
                // Wine: activates a hidden window that is moved without
                // SWP_NOACTIVATE, as making it layered does.
                if (IsWindowVisible(hwnd)) restoreFocus();
                send({EventKind::GotFocus, kFormItself, 0, {}});
            }
            return 0;
        case WM_COMMAND: {
            // The dialog manager's own IDOK and IDCANCEL carry the focused
            // control as sender; only a control's notification counts.
            const int index = controls_.indexOf(reinterpret_cast<HWND>(lParam));
            if (index >= 0 && LOWORD(wParam) == kFirstControlId + index) command(index, HIWORD(wParam));
            return 0;
        }
        case WM_HSCROLL: {
            const int index = controls_.indexOf(reinterpret_cast<HWND>(lParam));
            if (index >= 0) scroll(index, LOWORD(wParam));
            return 0;
        }
        case WM_TIMER: {
            if (wParam < kFirstTimerId) break;
            const auto index = static_cast<int>(wParam - kFirstTimerId);
            if (controls_.geometry().has(index) && controls_.geometry().layout(index).kind == ControlKind::Timer)
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
            return controls_.colors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, controls_.backBrush());
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
    if (message == WM_SETFOCUS) {
        const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        lastFocus_ = hwnd;
        send({EventKind::GotFocus, index, 0, {}});
        return result;
    }
    if (const std::optional<LRESULT> handled = controls_.handle(index, hwnd, message, wParam, lParam)) return *handled;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

bool FormWindow::setCursor(HWND under, int hitTest) {
    if (hitTest != HTCLIENT) return false;
    Pointer pointer = Pointer::Default;
    if (under == hwnd_.get()) {
        pointer = controls_.geometry().form().pointer;
    } else if (const int index = controls_.indexOf(under); index >= 0) {
        pointer = controls_.geometry().layout(index).pointer;
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
    switch (controls_.geometry().layout(index).kind) {
        case ControlKind::Button:
        case ControlKind::CheckBox:
            if (code == BN_CLICKED) send({EventKind::Click, index, 0, {}});
            break;
        case ControlKind::Label:
            if (code == STN_CLICKED) send({EventKind::Click, index, 0, {}});
            else if (code == STN_DBLCLK) send({EventKind::DblClick, index, 0, {}});
            break;
        case ControlKind::TextBox:
            if (code != EN_CHANGE) break;
            if (std::optional<std::string> text = controls_.userText(index))
                send({EventKind::TextChanged, index, 0, std::move(*text)});
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE) {
                const auto item = static_cast<int>(SendMessageW(controls_.window(index), LB_GETCURSEL, 0, 0));
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
    if (const std::optional<int> value = controls_.scroll(index, code)) send({EventKind::Scrolled, index, *value, {}});
}

void FormWindow::dpiChanged(UINT dpi, const RECT* suggested) {
    if (dpi == 0) return;
    controls_.rescale(system_.fonts(), dpi);
    if (suggested)
        SetWindowPos(hwnd_.get(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_.get(), nullptr, TRUE);
}

}  // namespace pictavo::platform::win32
