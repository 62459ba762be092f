#pragma once
// One top-level window built from a FormLayout, with its controls as real
// Win32 child windows (ControlWindows). Shared ownership: the NativeForm that
// the engine holds closes it, and every window procedure holds it while it
// runs, so that a handler may unload the form whose event it handles.

#include <windows.h>

#include <memory>
#include <string>

#include "platform/window_system.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_control_windows.h"

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
    bool keyPreview() const { return controls_.geometry().form().keyPreview; }
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

    // The engine's pushes to the window itself (kFormItself) or a control.
    void setText(int control, const std::string& text);
    void setFocus(int control);
    void repaint(int control);
    // The engine's other pushes to the controls.
    ControlWindows& controls() { return controls_; }
    void show();
    void hide();
    TwipRect windowRect() const;
    void moveWindow(const TwipRect& rect);
    // Hands the labels' new texts on to their windows (see setText).
    void storeWindowTexts() { controls_.storeWindowTexts(); }

    // The window classes of forms and of the program's own controls.
    static void registerClasses(HINSTANCE instance);

    // For tests: the window of a control, null for a timer or a bad index.
    HWND controlWindow(int control) const { return controls_.window(control); }

private:
    bool build();
    void restoreFocus();

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR self);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleControl(int index, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void command(int index, int code);
    void scroll(int index, int code);
    bool setCursor(HWND under, int hitTest);
    void dpiChanged(UINT dpi, const RECT* suggested);
    void leaveProc();

    Win32WindowSystem& system_;
    ControlWindows controls_;
    EventSink* sink_;
    std::shared_ptr<FormWindow> self_;  // while the window exists
    unique_hwnd hwnd_;
    HWND lastFocus_ = nullptr;
    int procDepth_ = 0;  // window procedures of this form on the stack
    bool destroyPending_ = false;
    bool destroyPosted_ = false;
    bool shownOnce_ = false;
};

}  // namespace pictavo::platform::win32
