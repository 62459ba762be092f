#pragma once
// What the form window's set-up and its window procedures share.

#include <windows.h>

namespace pictavo::platform::win32 {

inline constexpr int kFirstControlId = 100;
inline constexpr UINT_PTR kFirstTimerId = 100;
// Posted to a form that was closed while one of its procedures ran.
inline constexpr UINT kDestroyLater = WM_APP + 0x100;

inline bool intersects(const RECT& a, const RECT& b) {
    RECT common{};
    return IntersectRect(&common, &a, &b) != 0;
}

// The control's own visibility, whether or not its form is shown.
inline bool hasVisibleStyle(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace pictavo::platform::win32
