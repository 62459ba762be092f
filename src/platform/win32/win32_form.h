#pragma once
// The NativeForm the engine holds: a handle on a FormWindow that closes it
// when the engine lets go.

#include <memory>

#include "platform/window_system.h"
#include "platform/win32/win32_form_window.h"

namespace pictavo::platform::win32 {

class Win32Form final : public NativeForm {
public:
    explicit Win32Form(std::shared_ptr<FormWindow> window) : window_(std::move(window)) {}
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;
    ~Win32Form() override { window_->close(); }

    void setText(int control, const std::string& text) override { window_->setText(control, text); }
    void setValue(int control, int value) override { window_->controls().setValue(control, value); }
    void setRange(int control, int min, int max) override { window_->controls().setRange(control, min, max); }
    void setVisible(int control, bool visible) override { window_->controls().setVisible(control, visible); }
    void setEnabled(int control, bool enabled) override { window_->controls().setEnabled(control, enabled); }
    void setBounds(int control, const TwipRect& rect) override { window_->controls().setBounds(control, rect); }
    void setSelection(int control, int start, int length) override {
        window_->controls().setSelection(control, start, length);
    }
    void setFocus(int control) override { window_->setFocus(control); }
    void setItems(int control, const std::vector<std::string>& items) override {
        window_->controls().setItems(control, items);
    }
    void setListIndex(int control, int index) override { window_->controls().setListIndex(control, index); }
    void setPicture(int control, std::shared_ptr<const Picture> picture, bool stretch) override {
        window_->controls().setPicture(control, std::move(picture), stretch);
    }
    void repaint(int control) override { window_->repaint(control); }
    void show() override { window_->show(); }
    void hide() override { window_->hide(); }
    TwipRect windowRect() const override { return window_->windowRect(); }
    void moveWindow(const TwipRect& rect) override { window_->moveWindow(rect); }
    void setOwner(NativeForm* owner) override {
        window_->setOwner(owner ? static_cast<Win32Form*>(owner)->hwnd() : nullptr);
    }

    HWND hwnd() const { return window_->hwnd(); }
    HWND controlWindow(int control) const { return window_->controlWindow(control); }
    const std::shared_ptr<FormWindow>& window() const { return window_; }

private:
    std::shared_ptr<FormWindow> window_;
};

}  // namespace pictavo::platform::win32
