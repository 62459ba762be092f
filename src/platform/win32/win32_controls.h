#pragma once
// How each kind of control is made as a Win32 window, and the drawing of the
// controls the program paints itself (image, line, transparent label).

#include <windows.h>

#include <string>

#include "platform/form_geometry.h"
#include "platform/form_layout.h"
#include "platform/picture.h"

namespace pictavo::platform::win32 {

inline constexpr wchar_t kFormClass[] = L"PictavoForm";
inline constexpr wchar_t kPopupClass[] = L"PictavoPopup";
inline constexpr wchar_t kImageClass[] = L"PictavoImage";
inline constexpr wchar_t kLineClass[] = L"PictavoLine";

struct ControlClass {
    const wchar_t* className = nullptr;  // null: the control has no window (timer)
    DWORD style = 0;
    DWORD exStyle = 0;
};

ControlClass controlClass(const ControlLayout& layout);

// The two window classes of the program's own controls; their window
// procedure is DefWindowProcW, the form subclasses them to paint.
void registerControlClasses(HINSTANCE instance);

// Label text as a label shows it, in font, or in the DC's font when font is null.
void drawLabelText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, COLORREF color, bool enabled,
                   bool wrap);
// Picture at natural size (top-left) or stretched to the rectangle; the rest
// of the rectangle, or all of it without a picture, in the background brush.
void paintImage(HDC dc, const RECT& rect, const Picture* picture, bool stretch, HBRUSH background);
// A line between two corners of rect, in color, or etched when color is
// kDefaultColor. fromTopLeft: the line runs from the top-left to the
// bottom-right corner, otherwise from the bottom-left to the top-right.
void paintLine(HDC dc, const RECT& rect, bool fromTopLeft, std::uint32_t color, HBRUSH background);

// Size of text in a font without wrapping: the size a self-sizing label takes.
SIZE measureText(HWND window, HFONT font, const std::wstring& text);

}  // namespace pictavo::platform::win32
