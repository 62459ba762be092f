#pragma once
// How forms and each kind of control are made as Win32 windows, how a
// control's window is given its state, and the drawing of the controls the
// program paints itself (image, line; labels: win32_label.h).

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

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
DWORD formStyle(const FormLayout& layout);
DWORD formExStyle(const FormLayout& layout);

// A check box's state (0, 1, 2: grayed) or a scroll bar's position.
void showValue(HWND control, ControlKind kind, int value);
void showRange(HWND scrollBar, int min, int max, bool redraw);
// Selects characters (code points, not UTF-16 units) in an edit control;
// length -1 runs to the end.
void selectCharacters(HWND edit, int start, int length);
void fillList(HWND list, const std::vector<std::string>& items);
std::wstring windowText(HWND window);
// Where a scroll bar's action (SB_LINELEFT, ...) takes it, within min and
// max; nothing for an action that moves nothing (dragging, end of scroll).
std::optional<int> scrolledTo(HWND scrollBar, int action, const ControlLayout& layout, int min, int max);
// A tooltip window of the form for every control and its text; null when
// none is asked for or it cannot be made.
HWND addTooltips(HWND form, HINSTANCE instance, const std::vector<std::pair<HWND, std::string>>& tips);

// A top-level window's outer rectangle on the screen at the system's dpi;
// a minimised window's is where it will be restored.
TwipRect screenRectInTwips(HWND window);
void moveInTwips(HWND window, const TwipRect& rect);
void centerOnWorkArea(HWND window);

// The two window classes of the program's own controls; their window
// procedure is DefWindowProcW, the form subclasses them to paint.
void registerControlClasses(HINSTANCE instance);

// Picture at natural size (top-left) or stretched to the rectangle; the rest
// of the rectangle, or all of it without a picture, in the background brush.
void paintImage(HDC dc, const RECT& rect, const Picture* picture, bool stretch, HBRUSH background);
// A line between two corners of rect, in color, or etched when color is
// kDefaultColor. fromTopLeft: the line runs from the top-left to the
// bottom-right corner, otherwise from the bottom-left to the top-right.
void paintLine(HDC dc, const RECT& rect, bool fromTopLeft, std::uint32_t color, HBRUSH background);

}  // namespace pictavo::platform::win32
