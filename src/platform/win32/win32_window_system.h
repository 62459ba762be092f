#pragma once
// The window system on Win32: forms as real windows, the message loops with
// the program's keyboard routing, modal showing, and the screen.

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "platform/window_system.h"
#include "platform/win32/win32_fonts.h"
#include "platform/win32/win32_pointers.h"

namespace pictavo::platform::win32 {

class FormWindow;

class Win32WindowSystem final : public WindowSystem {
public:
    explicit Win32WindowSystem(HINSTANCE instance);
    // Destroys the windows whose destruction still waits (see destroyLater).
    ~Win32WindowSystem() override;
    Win32WindowSystem(const Win32WindowSystem&) = delete;
    Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

    std::unique_ptr<NativeForm> createForm(const FormLayout& layout, EventSink& sink) override;
    void doEvents() override;
    void runLoop(NativeForm* modal, const std::function<bool()>& keepRunning) override;
    void typeAhead(std::vector<int> keyCodes) override;
    void wake() override;
    void quit() override;
    bool quitting() const override { return quitting_; }
    ScreenMetrics screen() const override;
    bool onSomeMonitor(const TwipRect& rect) const override;
    void messageBox(const std::string& text, const std::string& title) override;
    void setCursorPos(int x, int y) override;

    // For the forms.
    HINSTANCE instance() const { return instance_; }
    FontCache& fonts() { return fonts_; }
    const Pointers& pointers() const { return pointers_; }
    HICON appIcon(bool smallSize) const;
    void forget(const FormWindow& form);
    // A closed form whose window could not be destroyed inside its own
    // procedure; it goes when its posted destruction arrives, or with the
    // window system if the loops end first.
    void destroyLater(const std::shared_ptr<FormWindow>& form);
    // A form is about to hide; if it is the innermost modal form, the windows
    // it disabled get their input back now.
    void modalHiding(const FormWindow& form);
    // A modal form runs and this form is another one: its input is not its own.
    bool heldByModal(const FormWindow& form) const;
    // A form's label has a new text that its window does not hold yet.
    void windowTextsOld() { windowTextsOld_ = true; }

private:
    struct Modal {
        std::weak_ptr<FormWindow> form;
        std::vector<std::weak_ptr<FormWindow>> disabled;
    };

    std::shared_ptr<FormWindow> formOf(HWND window) const;
    std::shared_ptr<FormWindow> innermostModal() const;
    void process(MSG& message);
    bool routeKey(MSG& message);
    static void enableAll(std::vector<std::weak_ptr<FormWindow>>& forms);
    void activateTopmostForm();
    void processQueued();
    void replayTypedKey();
    void storeWindowTexts();

    HINSTANCE instance_;
    FontCache fonts_;
    Pointers pointers_;
    std::map<HWND, std::weak_ptr<FormWindow>> forms_;
    std::vector<Modal> modals_;
    std::vector<std::weak_ptr<FormWindow>> closing_;
    std::deque<int> typedAhead_;
    DWORD thread_;  // the one that runs the loops
    LONGLONG lookInterval_ = 0;  // 2 ms in performance-counter ticks: the least time between looks at the queue in doEvents
    LONGLONG lastLook_ = 0;      // when the last one ended
    LONGLONG storeInterval_ = 0;  // 50 ms: the least time between storing labels' texts in their windows in doEvents
    LONGLONG textsStored_ = 0;
    bool quitting_ = false;
    bool windowTextsOld_ = false;
};

}  // namespace pictavo::platform::win32
