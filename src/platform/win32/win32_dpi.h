#pragma once
// Dots per inch of windows and the system, with fallbacks for systems whose
// user32 lacks the per-monitor functions. Twips <-> pixels: form_geometry.h.

#include <windows.h>

#include "platform/form_geometry.h"

namespace pictavo::platform::win32 {

UINT systemDpi();
UINT windowDpi(HWND window);
// AdjustWindowRectExForDpi where it exists.
void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace pictavo::platform::win32
