#include "platform/win32/win32_form_window.h"

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_form_shared.h"
#include "platform/win32/win32_window_system.h"

namespace pictavo::platform::win32 {

std::shared_ptr<FormWindow> FormWindow::create(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink) {
    auto window = std::make_shared<FormWindow>(system, layout, sink);
    if (!window->build()) return nullptr;
    return window;
}

FormWindow::FormWindow(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink)
    : system_(system), controls_(layout), sink_(&sink) {}

bool FormWindow::build() {
    const FormLayout& layout = controls_.geometry().form();
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
    const UINT dpi = windowDpi(created);

    RECT outer{0, 0, twipsToPixels(layout.clientWidth, dpi), twipsToPixels(layout.clientHeight, dpi)};
    adjustWindowRect(outer, style, exStyle, dpi);
    SetWindowPos(created, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (layout.appIcon) {
        if (HICON big = system_.appIcon(false))
            SendMessageW(created, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (HICON smallIcon = system_.appIcon(true))
            SendMessageW(created, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    }

    controls_.create(created, system_.instance(), system_.fonts(), dpi, controlProc, reinterpret_cast<DWORD_PTR>(this));
    return true;
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
    controls_.stopTimers();
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
    if (controls_.setText(index, text)) system_.windowTextsOld();
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

void FormWindow::repaint(int index) {
    if (index != kFormItself)
        controls_.repaint(index);
    else if (hwnd_)
        RedrawWindow(hwnd_.get(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
}

void FormWindow::show() {
    if (!hwnd_) return;
    if (controls_.geometry().form().centerOnScreen && !shownOnce_) centerOnWorkArea(hwnd_.get());
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

TwipRect FormWindow::windowRect() const { return screenRectInTwips(hwnd_.get()); }

void FormWindow::moveWindow(const TwipRect& rect) { moveInTwips(hwnd_.get(), rect); }

void FormWindow::restoreFocus() {
    HWND target = nullptr;
    if (lastFocus_ && IsWindow(lastFocus_) && hasVisibleStyle(lastFocus_) && IsWindowEnabled(lastFocus_))
        target = lastFocus_;
    for (int i : controls_.geometry().tabOrder()) {
        HWND child = controls_.window(i);
        if (target) break;
        if (child && hasVisibleStyle(child) && IsWindowEnabled(child)) target = child;
    }
    SetFocus(target ? target : hwnd_.get());
}

}  // namespace pictavo::platform::win32
