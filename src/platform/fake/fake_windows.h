#pragma once
// In-memory window system for tests: forms keep the properties the engine
// pushes into them, and a scripted queue of user actions (keys, clicks,
// typing, timer ticks, closing) drives them on a virtual clock.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/form_geometry.h"
#include "platform/window_system.h"

namespace pictavo::platform::fake {

class FakeClock;

// What a control shows beside its geometry (place, visibility, enabling).
struct FakeControlState {
    std::string text;
    std::vector<std::string> history;  // every text set by the program, in order
    int value = 0, min = 0, max = 0;
    std::vector<std::string> items;
    int listIndex = -1;
    std::shared_ptr<const Picture> picture;
    bool stretch = false;
    int repaints = 0;
    int selStart = 0, selLength = 0;
};

class FakeWindowSystem;

class FakeNativeForm final : public NativeForm {
public:
    FakeNativeForm(FakeWindowSystem& system, const FormLayout& layout, EventSink& sink);
    ~FakeNativeForm() override;

    void setText(int control, const std::string& text) override;
    void setValue(int control, int value) override;
    void setRange(int control, int min, int max) override;
    void setVisible(int control, bool visible) override;
    void setEnabled(int control, bool enabled) override;
    void setBounds(int control, const TwipRect& rect) override;
    void setSelection(int control, int start, int length) override;
    void setFocus(int control) override;
    void setItems(int control, const std::vector<std::string>& items) override;
    void setListIndex(int control, int index) override;
    void setPicture(int control, std::shared_ptr<const Picture> picture, bool stretch) override;
    void repaint(int control) override;
    void show() override;
    void hide() override;
    TwipRect windowRect() const override { return rect_; }
    void moveWindow(const TwipRect& rect) override { rect_ = rect; }
    void setOwner(NativeForm* owner) override { owner_ = static_cast<FakeNativeForm*>(owner); }

    const FormLayout& layout() const { return geometry_.form(); }
    const FormGeometry& geometry() const { return geometry_; }
    int indexOf(const std::string& controlName) const;  // -1 when unknown
    FakeControlState& control(const std::string& controlName);
    // Whether the control shows, with the frames around it.
    bool visible(const std::string& controlName) const;
    const TwipRect& bounds(const std::string& controlName) const;
    const std::string& title() const { return title_; }
    bool shown() const { return shown_; }
    int repaints() const { return repaints_; }
    int focus() const { return focus_; }
    FakeNativeForm* owner() const { return owner_; }
    EventSink& sink() { return sink_; }

    // Effects applied through the window-effects facility.
    bool shadow = false;
    int opacity = 255;
    bool layered = false;

private:
    int checked(int control) const;  // throws for an index that is not a control's

    FakeWindowSystem& system_;
    FormGeometry geometry_;
    EventSink& sink_;
    std::vector<FakeControlState> controls_;
    std::string title_;
    TwipRect rect_;
    bool shown_ = false;
    int repaints_ = 0;
    int focus_ = kFormItself;
    FakeNativeForm* owner_ = nullptr;
};

class FakeWindowSystem final : public WindowSystem {
public:
    explicit FakeWindowSystem(FakeClock& clock);

    std::unique_ptr<NativeForm> createForm(const FormLayout& layout, EventSink& sink) override;
    void doEvents() override;
    void runLoop(NativeForm* modal, const std::function<bool()>& keepRunning) override;
    void typeAhead(std::vector<int> keyCodes) override;
    void wake() override {}
    void quit() override { quitting_ = true; }
    bool quitting() const override { return quitting_; }
    ScreenMetrics screen() const override { return screen_; }
    bool onSomeMonitor(const TwipRect& rect) const override {
        return rect.left < screen_.widthPx * screen_.twipsPerPixelX && rect.left + rect.width > 0 &&
               rect.top < screen_.heightPx * screen_.twipsPerPixelY && rect.top + rect.height > 0;
    }
    void messageBox(const std::string& text, const std::string& title) override;
    void setCursorPos(int x, int y) override { cursor = {x, y}; }

    // --- Script. Steps are delivered in order by the running loops; a step
    // marked atYield is also delivered by doEvents, as if it happened while
    // the program was busy.
    FakeWindowSystem& key(int keyCode);
    FakeWindowSystem& click(const std::string& form, const std::string& control);
    FakeWindowSystem& dblClick(const std::string& form, const std::string& control);
    FakeWindowSystem& type(const std::string& form, const std::string& control, const std::string& text);
    FakeWindowSystem& scroll(const std::string& form, const std::string& control, int value);
    FakeWindowSystem& select(const std::string& form, const std::string& control, int index);
    FakeWindowSystem& focus(const std::string& form, const std::string& control);
    FakeWindowSystem& tick(int count = 1);  // one second passes: every running timer fires
    FakeWindowSystem& closeBox(const std::string& form);
    FakeWindowSystem& call(std::function<void()> action);
    FakeWindowSystem& atYield();  // marks the step added last
    bool scriptDone() const { return script_.empty(); }

    // Work of the system itself (a child process), done at the next doEvents
    // or loop pass.
    void post(std::function<void()> job);

    FakeNativeForm* find(const std::string& formName);  // a live form, or null
    std::vector<FakeNativeForm*> liveForms() const { return forms_; }

    ScreenMetrics screen_{1024, 768, 15, 15};
    std::set<std::string> refused;  // forms whose window the system cannot create
    std::pair<int, int> cursor{0, 0};
    std::vector<std::pair<std::string, std::string>> messages;  // text, title
    bool exhaustedInModal = false;  // a modal loop ran out of script
    int undelivered = 0;            // steps whose window or control was not there
    int doEventsCalls = 0;
    // Every text the program set, by "Form.Control", kept after the window is gone.
    std::map<std::string, std::vector<std::string>> textLog;

private:
    friend class FakeNativeForm;
    struct Step {
        std::function<void()> action;
        bool atYield = false;
    };
    void forget(FakeNativeForm* form);
    void deliver(const std::string& form, const std::string& control, NativeEvent event);
    FakeNativeForm* keyTarget();
    void press(int keyCode);
    bool runInternal();
    FakeWindowSystem& add(std::function<void()> action);

    FakeClock& clock_;
    std::vector<FakeNativeForm*> forms_;        // live, in creation order
    std::vector<FakeNativeForm*> modalStack_;
    std::deque<Step> script_;
    std::deque<int> typedAhead_;
    std::deque<std::function<void()>> jobs_;
    bool quitting_ = false;
};

}  // namespace pictavo::platform::fake
