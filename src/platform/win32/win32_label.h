#pragma once
// Labels as the form paints them. A label with a background of its own is
// drawn once into a bitmap of its size and copied to the screen from there:
// a new text reaches the screen through one copy into the label's DC,
// without invalidating and painting it through the window manager.
// Wine: invalidating and painting takes a synchronous round trip per change.
// A transparent label is drawn over what lies below it.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture.h"

#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

struct LabelLook {
    HFONT font = nullptr;
    COLORREF color = 0;
    HBRUSH background = nullptr;
    bool enabled = true;
    bool wrap = true;  // break lines at words within the label's width
};

// The colour of a label's text: its own, or the system's for kDefaultColor.
COLORREF labelColor(std::uint32_t foreColor);
// Label text as a label shows it, in font, or in the DC's font when font is null.
void drawLabelText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, COLORREF color, bool enabled,
                   bool wrap);
// Size of text in a font without wrapping: the size a self-sizing label takes.
SIZE measureText(HWND window, HFONT font, const std::wstring& text);

class LabelImage {
public:
    // Draws the text over the background, at the label's client size, unless
    // it is drawn already at that size.
    void draw(HWND label, const std::wstring& text, const LabelLook& look);
    // The next draw draws anew: the text, its look or the size has changed.
    void forget() { drawn_ = false; }
    // Copies the drawn text onto a DC of the label.
    void copyTo(HDC dc) const;
    // Draws and copies it onto the label's window now; false when the label
    // is not on the screen.
    bool show(HWND label, const std::wstring& text, const LabelLook& look);

private:
    unique_hbitmap bitmap_;  // declared before the DC it is selected into, so destroyed after it
    unique_hdc dc_;
    HFONT font_ = nullptr;  // selected into dc_
    SIZE size_{};
    bool drawn_ = false;
};

// What a transparent label shows through: a picture control or another
// transparent label, at its place relative to the label.
struct LabelUnderlay {
    RECT area{};
    bool image = false;
    const Picture* picture = nullptr;  // of an image; null: it shows its background
    bool stretch = false;
    const std::wstring* text = nullptr;  // of a label
    LabelLook look{};                    // of a label
};

// A transparent label's text over the form's background (look.background)
// and what lies below it (bottom first), painted in one copy.
void paintLabelOver(HDC dc, HWND label, const std::vector<LabelUnderlay>& below, const std::wstring& text,
                    const LabelLook& look);

}  // namespace pictavo::platform::win32
