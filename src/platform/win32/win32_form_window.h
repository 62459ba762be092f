#pragma once
// One top-level window built from a FormLayout, with its controls as real
// Win32 child windows. Shared ownership: the NativeForm that the engine holds
// closes it, and every window procedure holds it while it runs, so that a
// handler may unload the form whose event it handles.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/form_geometry.h"
#include "platform/window_system.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_label.h"

namespace pictavo::platform::win32 {

class Win32WindowSystem;

class FormWindow : public std::enable_shared_from_this<FormWindow> {
public:
    // Null when the window cannot be created.
    static std::shared_ptr<FormWindow> create(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink);
    FormWindow(Win32WindowSystem& system, const FormLayout& layout, EventSink& sink);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return hwnd_.get(); }
    bool alive() const { return sink_ != nullptr; }
    bool keyPreview() const { return geometry_.form().keyPreview; }
    // Delivers an event to the engine; false when the form is closed or the
    // event was not consumed.
    bool send(const NativeEvent& event);
    // The engine let go of the form: no event reaches it any more, and the
    // window goes away (at once, or as soon as its own procedures return).
    void close();
    // Destroys the window of a closed form when no procedure of it runs.
    void destroyIfClosed();
    void setOwner(HWND owner);
    bool hasNoSize() const;

    void setText(int control, const std::string& text);
    void setValue(int control, int value);
    void setRange(int control, int min, int max);
    void setVisible(int control, bool visible);
    void setEnabled(int control, bool enabled);
    void setBounds(int control, const TwipRect& rect);
    void setSelection(int control, int start, int length);
    void setFocus(int control);
    void setItems(int control, const std::vector<std::string>& items);
    void setListIndex(int control, int index);
    void setPicture(int control, std::shared_ptr<const Picture> picture, bool stretch);
    void repaint(int control);
    void show();
    void hide();
    TwipRect windowRect() const;
    void moveWindow(const TwipRect& rect);
    // Hands the labels' new texts on to their windows (see setText).
    void storeWindowTexts();

    // The window classes of forms and of the program's own controls.
    static void registerClasses(HINSTANCE instance);

    // For tests: the window of a control, null for a timer or a bad index.
    HWND controlWindow(int control) const;

private:
    // What the window keeps of a control beside its geometry.
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

    bool build();
    void createControls();
    void arrangeZOrder();
    void addTooltips();
    void applyFonts();
    void place(int index);
    RECT currentRect(int index) const;  // in the form's client area
    void applyVisibility(int index);
    void applyEnabled(int index);
    void invalidateOverlays(int index, const RECT& area);
    void restartTimer(int index);
    int indexOf(HWND child) const;
    Control* control(int index);
    LabelLook labelLook(int index) const;
    // Puts a painted label's changed text on the screen at once.
    void showLabelText(int index);
    void paintTransparentLabel(HDC dc, int index);
    void storeWindowText(Control& label);
    COLORREF backColor() const;
    HBRUSH backBrush() const;
    void centerOnWorkArea();
    void restoreFocus();

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControl(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void command(int index, int code);
    void scroll(int index, int code);
    LRESULT colors(HDC dc, HWND child);
    bool setCursor(HWND under, int hitTest);
    void dpiChanged(UINT dpi, const RECT* suggested);
    void leaveProc();

    Win32WindowSystem& system_;
    FormGeometry geometry_;
    EventSink* sink_;
    std::shared_ptr<FormWindow> self_;  // while the window exists
    unique_hwnd hwnd_;
    HWND tooltip_ = nullptr;  // owned by the form window, destroyed with it
    HWND lastFocus_ = nullptr;
    unique_hbrush ownBrush_;
    std::vector<Control> controls_;
    UINT dpi_ = 96;
    int procDepth_ = 0;  // window procedures of this form on the stack
    bool destroyPending_ = false;
    bool destroyPosted_ = false;
    int quietText_ = 0;  // > 0 while the engine itself sets a text
    bool shownOnce_ = false;
};

}  // namespace pictavo::platform::win32
