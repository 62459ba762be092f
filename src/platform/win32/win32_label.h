#pragma once
// The picture of a label's text that the form paints itself. The text is
// drawn once into a bitmap of the label's size and copied to the screen from
// there: a new text reaches the screen through one copy into the label's DC,
// without invalidating and painting it through the window manager, which
// costs a synchronous round trip per change under Wine.

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

struct LabelLook {
    HFONT font = nullptr;
    COLORREF color = 0;
    HBRUSH background = nullptr;
    bool enabled = true;
    bool wrap = true;  // break lines at words within the label's width
};

class LabelImage {
public:
    // Draws the text over the background, at the label's client size, unless
    // it is drawn already at that size.
    void draw(HWND label, const std::wstring& text, const LabelLook& look);
    // The next draw draws anew: the text, its look or the size has changed.
    void forget() { drawn_ = false; }
    // Copies the drawn text onto a DC of the label.
    void copyTo(HDC dc) const;

private:
    unique_hbitmap bitmap_;  // declared before the DC it is selected into, so destroyed after it
    unique_hdc dc_;
    HFONT font_ = nullptr;  // selected into dc_
    SIZE size_{};
    bool drawn_ = false;
};

}  // namespace pictavo::platform::win32
