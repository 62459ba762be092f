#pragma once
// The form engine: a window built from a FormLayout, with the behaviour the
// program's windows rely on. A form loads on first use, also when code merely
// touches one of its controls; unloading destroys the window and puts every
// control back to its design state. Setting a text or value runs the
// control's change or click handler exactly when the value differs.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form_layout.h"
#include "platform/window_system.h"

namespace pictavo::platform {

class Form;

class Control {
public:
    Control(Form& form, int index, const ControlLayout& layout);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlLayout& layout() const { return layout_; }
    const std::string& name() const { return layout_.name; }

    // Caption or text. For a text box a change runs onChange.
    const std::string& text();
    void setText(const std::string& text);

    // Check box (click handler) and scroll bar (change handler) value.
    int value();
    void setValue(int value);
    int min();
    int max();
    void setMin(int min);
    void setMax(int max);

    bool visible();
    void setVisible(bool visible);
    bool enabled();
    void setEnabled(bool enabled);

    double left();
    double top();
    double width();
    double height();
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    void setFocus();
    void setSelection(int start, int length);

    // List box.
    const std::vector<std::string>& items();
    void setItems(std::vector<std::string> items);
    int listIndex();
    void setListIndex(int index);  // runs onClick when it differs

    // Image. Without stretching, a new picture sets the control's size to the
    // picture's own size.
    const std::shared_ptr<const Picture>& picture();
    void setPicture(std::shared_ptr<const Picture> picture);
    bool stretch();
    void setStretch(bool stretch);

    // Paints the control now, when anything about it changed since it was
    // last painted this way.
    void refresh();

    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void()> onChange;
    std::function<void()> onGotFocus;
    std::function<void()> onTimer;

private:
    friend class Form;
    void reset();
    NativeForm* native();
    void pushBounds();
    void changeValue(int value, bool push);
    void changeText(const std::string& text, bool push);

    Form& form_;
    int index_;
    ControlLayout layout_;
    std::string text_;
    int value_ = 0, min_ = 0, max_ = 0;
    bool visible_ = true, enabled_ = true;
    TwipRect bounds_;
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::shared_ptr<const Picture> picture_;
    bool stretch_ = false;
    bool changed_ = true;
};

class Form : private EventSink {
public:
    Form(WindowSystem& windows, FormLayout layout);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    const std::string& name() const { return layout_.name; }
    const FormLayout& layout() const { return layout_; }
    Control& operator[](std::string_view controlName);

    bool loaded() const { return native_ != nullptr; }
    bool visibleNow() const { return loaded() && visible_; }
    void load();
    void unload();
    void show();
    // Returns when the form is hidden or unloaded, or when `until` holds.
    // While it runs, the form belongs to the owner, if one is given and
    // loaded: it stays in front of it, and the owner stands in for a form of
    // no size (see runLoop).
    void showModal(Form* owner = nullptr, const std::function<bool()>& until = nullptr);
    void hide();
    void refresh();

    const std::string& caption();
    void setCaption(const std::string& caption);
    double left();
    double top();
    double width();
    double height();
    void move(double left, double top);
    void move(double left, double top, double width, double height);

    WindowSystem& windows() { return windows_; }
    NativeForm* native() { return native_.get(); }

    std::function<void()> onLoad;
    std::function<void()> onUnload;
    // Sees every key first when the layout asks for key preview; returning true
    // keeps the key from the focused control.
    std::function<bool(int keyCode)> onKeyDown;
    std::function<void(int character)> onKeyPress;
    std::function<void()> onMouseDown;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;
    // The user closes the window; returning true refuses it.
    std::function<bool()> onQueryUnload;

private:
    friend class Control;
    bool onEvent(const NativeEvent& event) override;
    bool keyDown(int keyCode);
    void ensureLoaded();
    Control* roleButton(Role role);
    void focusFirstControl();

    WindowSystem& windows_;
    FormLayout layout_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<NativeForm> native_;
    std::string caption_;
    bool visible_ = false;
    bool loading_ = false;
    bool shownOnce_ = false;
    int focused_ = kFormItself;
};

}  // namespace pictavo::platform
