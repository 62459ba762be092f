#pragma once
// A window system that forwards to another and measures how long event
// processing, text changes and synchronous repaints take, for the
// benchmarks; it also lets a benchmark act whenever a modal wait begins.

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/window_system.h"

namespace pictavo::bench {

struct Timings {
    std::chrono::nanoseconds events{0};
    std::chrono::nanoseconds repaints{0};
    long long eventCalls = 0;
    long long repaintCalls = 0;
    std::chrono::nanoseconds texts{0};
    long long textCalls = 0;
    // When each text was first put into a control.
    std::map<std::string, std::chrono::steady_clock::time_point> firstShown;
};

class TimingWindows final : public platform::WindowSystem {
public:
    explicit TimingWindows(platform::WindowSystem& inner) : inner_(inner) {}

    std::unique_ptr<platform::NativeForm> createForm(const platform::FormLayout& layout,
                                                     platform::EventSink& sink) override;
    void doEvents() override;
    void runLoop(platform::NativeForm* modal, const std::function<bool()>& keepRunning) override;
    void typeAhead(std::vector<int> keyCodes) override { inner_.typeAhead(std::move(keyCodes)); }
    void wake() override { inner_.wake(); }
    void quit() override { inner_.quit(); }
    bool quitting() const override { return inner_.quitting(); }
    platform::ScreenMetrics screen() const override { return inner_.screen(); }
    bool onSomeMonitor(const platform::TwipRect& rect) const override { return inner_.onSomeMonitor(rect); }
    void messageBox(const std::string& text, const std::string& title) override { inner_.messageBox(text, title); }
    void setCursorPos(int x, int y) override { inner_.setCursorPos(x, y); }

    Timings timings;
    // Called with the backend's own forms: the modal one and, by name, all.
    std::function<void(platform::NativeForm& modal, const std::map<std::string, platform::NativeForm*>& forms)>
        beforeModalLoop;
    std::map<std::string, platform::NativeForm*> forms;

private:
    platform::WindowSystem& inner_;
};

}  // namespace pictavo::bench
