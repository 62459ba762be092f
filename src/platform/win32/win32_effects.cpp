#include "platform/win32/win32_effects.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/win32_form.h"

namespace pictavo::platform::win32 {

// The results of these calls are not checked: an effect that the system
// refuses leaves the window plain.

void Win32Effects::setShadow(NativeForm& window) {
    HWND hwnd = static_cast<Win32Form&>(window).hwnd();
    const ULONG_PTR style = GetClassLongPtrW(hwnd, GCL_STYLE);
    SetClassLongPtrW(hwnd, GCL_STYLE, static_cast<LONG_PTR>(style | CS_DROPSHADOW));
}

void Win32Effects::setOpacity(NativeForm& window, int opacity) {
    HWND hwnd = static_cast<Win32Form&>(window).hwnd();
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, 0, static_cast<BYTE>(std::clamp(opacity, 0, 255)), LWA_ALPHA);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
}

}  // namespace pictavo::platform::win32
