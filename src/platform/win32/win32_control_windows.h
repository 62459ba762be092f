#pragma once
// The controls of one form as Win32 child windows: made from the layout,
// placed, shown and enabled as the form's geometry says, given the state the
// engine pushes, and painted where the program paints them itself (images,
// lines, labels). The form window owns them and hands them their messages.

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/form_geometry.h"
#include "platform/window_system.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_label.h"

namespace pictavo::platform::win32 {

class ControlWindows {
public:
    explicit ControlWindows(const FormLayout& layout);
    ControlWindows(const ControlWindows&) = delete;
    ControlWindows& operator=(const ControlWindows&) = delete;

    const FormGeometry& geometry() const { return geometry_; }

    // Makes the controls' windows in form, each subclassed with proc under
    // its index, stacked, with their fonts at dpi, placed, with their
    // tooltips; starts the timers.
    void create(HWND form, HINSTANCE instance, FontCache& fonts, UINT dpi, SUBCLASSPROC proc, DWORD_PTR data);
    // Fonts and places anew at another resolution.
    void rescale(FontCache& fonts, UINT dpi);
    // The form is closed: its timers stop for good.
    void stopTimers();

    // Null for a timer, a bad index or a window that could not be made.
    HWND window(int index) const;
    int indexOf(HWND child) const;  // -1: none of the controls
    COLORREF backColor() const;
    HBRUSH backBrush() const;

    // What the engine pushes. setText is true when a label's window holds an
    // earlier text than the one shown (see storeWindowTexts).
    bool setText(int index, const std::string& text);
    void setValue(int index, int value);
    void setRange(int index, int min, int max);
    void setVisible(int index, bool visible);
    void setEnabled(int index, bool enabled);
    void setBounds(int index, const TwipRect& rect);
    void setSelection(int index, int start, int length);
    void setItems(int index, const std::vector<std::string>& items);
    void setListIndex(int index, int item);
    void setPicture(int index, std::shared_ptr<const Picture> picture, bool stretch);
    void repaint(int index);
    // Hands the labels' new texts on to their windows.
    void storeWindowTexts();

    // What the user did: a text box's new text (nothing while the engine
    // sets it), a scroll bar's new position after an action (SB_LINELEFT, ...).
    std::optional<std::string> userText(int index);
    std::optional<int> scroll(int index, int action);

    // The messages of a control that its own procedure must not handle as it
    // would: painting and the texts of the controls the program paints.
    std::optional<LRESULT> handle(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN.
    LRESULT colors(HDC dc, HWND child) const;

private:
    struct Control {
        HWND hwnd = nullptr;  // owned by the form window, destroyed with it
        int value = 0, min = 0, max = 0;
        std::wstring text;
        std::shared_ptr<const Picture> picture;
        bool stretch = false;
        HFONT font = nullptr;  // owned by the font cache
        LabelImage image;       // of a label the form paints
        bool imageShown = false;  // the image is on the screen as it is now
        bool windowTextOld = false;  // of a label: its window still holds an earlier text
    };

    Control* control(int index);
    void applyFonts(FontCache& fonts);
    void place(int index);
    RECT currentRect(int index) const;  // in the form's client area
    void invalidateOverlays(int index, const RECT& area);
    void restartTimer(int index);
    LabelLook labelLook(int index) const;
    void paint(int index, HDC dc);
    void paintTransparentLabel(HDC dc, int index);
    void storeWindowText(Control& label);

    FormGeometry geometry_;
    std::vector<Control> controls_;
    HWND form_ = nullptr;
    UINT dpi_ = 96;
    unique_hbrush ownBrush_;
    int quietText_ = 0;  // > 0 while the engine itself sets a text
    bool timersRun_ = true;
};

}  // namespace pictavo::platform::win32
