#pragma once
// The window system facility: what a backend must provide so that the
// portable form engine can build real windows and receive their events.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/form_layout.h"
#include "platform/picture.h"

namespace pictavo::platform {

// Control index in FormLayout::controls, or kFormItself for the window.
inline constexpr int kFormItself = -1;

enum class EventKind {
    Click,        // button pressed, check box clicked, list selection by the user
    DblClick,     // list box double-click
    TextChanged,  // the user edited a text box; text holds the new text
    Scrolled,     // the user moved a scroll bar; value holds the new value
    KeyDown,      // value holds the virtual-key code; sent before the control sees it
    KeyPress,     // value holds the character code of a key that produced one
    GotFocus,
    LostFocus,
    MouseDown,    // on the window's own surface
    Timer,        // control is the timer
    CloseBox,     // the user asks to close the window (close box, system menu, Alt+F4)
    Moved,        // the user moved the window
};

struct NativeEvent {
    EventKind kind = EventKind::Click;
    int control = kFormItself;
    int value = 0;
    std::string text;
};

// Receives a window's events. onEvent returns true when the event was
// consumed: for KeyDown that means the focused control must not see the key.
class EventSink {
public:
    virtual bool onEvent(const NativeEvent& event) = 0;

protected:
    ~EventSink() = default;
};

struct TwipRect {
    double left = 0, top = 0, width = 0, height = 0;
};

// One real window built from a FormLayout. Created hidden; the engine pushes
// every property change into it. Destroying it destroys the window.
class NativeForm {
public:
    virtual ~NativeForm() = default;

    virtual void setText(int control, const std::string& text) = 0;  // kFormItself: title
    virtual void setValue(int control, int value) = 0;
    virtual void setRange(int control, int min, int max) = 0;
    virtual void setVisible(int control, bool visible) = 0;
    virtual void setEnabled(int control, bool enabled) = 0;
    virtual void setBounds(int control, const TwipRect& rect) = 0;  // relative to parent frame
    // Start and length count characters (code points); length -1 runs to the end.
    virtual void setSelection(int control, int start, int length) = 0;
    virtual void setFocus(int control) = 0;
    virtual void setItems(int control, const std::vector<std::string>& items) = 0;
    virtual void setListIndex(int control, int index) = 0;
    virtual void setPicture(int control, std::shared_ptr<const Picture> picture, bool stretch) = 0;
    virtual void repaint(int control) = 0;  // synchronous

    // The window itself; position in twips on the screen (outer frame).
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual TwipRect windowRect() const = 0;
    virtual void moveWindow(const TwipRect& rect) = 0;
    // The window this one belongs to (null: none): an owned window stays in
    // front of its owner.
    virtual void setOwner(NativeForm* owner) = 0;
};

struct ScreenMetrics {
    int widthPx = 0, heightPx = 0;
    double twipsPerPixelX = 15, twipsPerPixelY = 15;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    virtual std::unique_ptr<NativeForm> createForm(const FormLayout& layout, EventSink& sink) = 0;

    // Processes the events that are pending now, then returns.
    virtual void doEvents() = 0;
    // Dispatches events until keepRunning() is false or the program ends.
    // With a modal form, every other window is disabled meanwhile and all keys
    // go to the modal form. An owner of a modal form that has no size stays
    // enabled, so that the desktop can activate it in the modal form's place,
    // but takes no input of its own: its keys go to the modal form.
    virtual void runLoop(NativeForm* modal, const std::function<bool()>& keepRunning) = 0;
    // Keys the user typed while the program was busy with them: delivered one
    // by one, ahead of any key that came later, each to the window that has
    // the keyboard when its turn comes. Only runLoop delivers them, never
    // doEvents: between two waits no window of the program expects keys.
    virtual void typeAhead(std::vector<int> keyCodes) = 0;
    // Makes a running loop test its condition again although no event came;
    // may be called from any thread.
    virtual void wake() = 0;
    // Ends the program: every loop returns as soon as it can.
    virtual void quit() = 0;
    virtual bool quitting() const = 0;

    virtual ScreenMetrics screen() const = 0;
    // Whether any part of a window placed there (twips, screen) would lie on a monitor.
    virtual bool onSomeMonitor(const TwipRect& rect) const = 0;
    virtual void messageBox(const std::string& text, const std::string& title) = 0;
    virtual void setCursorPos(int x, int y) = 0;
};

}  // namespace pictavo::platform
