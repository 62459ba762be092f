#pragma once
// Dots per inch of windows and the system, and twips <-> pixels, with
// fallbacks for systems whose user32 lacks the per-monitor functions.

#include <windows.h>

namespace pictavo::platform::win32 {

inline constexpr double kTwipsPerInch = 1440.0;

UINT systemDpi();
UINT windowDpi(HWND window);
// AdjustWindowRectExForDpi where it exists.
void adjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

int twipsToPixels(double twips, UINT dpi);
double pixelsToTwips(int pixels, UINT dpi);

}  // namespace pictavo::platform::win32
