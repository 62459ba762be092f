#include "timing_windows.h"

namespace pictavo::bench {

namespace {
using Clock = std::chrono::steady_clock;

class TimingForm final : public platform::NativeForm {
public:
    TimingForm(std::unique_ptr<platform::NativeForm> inner, TimingWindows& windows, std::string name)
        : inner_(std::move(inner)), timings_(windows.timings), windows_(windows), name_(std::move(name)) {
        windows_.forms[name_] = inner_.get();
    }
    ~TimingForm() override { windows_.forms.erase(name_); }

    platform::NativeForm& inner() { return *inner_; }

    void setText(int c, const std::string& t) override {
        const auto start = Clock::now();
        timings_.firstShown.try_emplace(t, start);
        inner_->setText(c, t);
        timings_.texts += Clock::now() - start;
        ++timings_.textCalls;
    }
    void setValue(int c, int v) override { inner_->setValue(c, v); }
    void setRange(int c, int lo, int hi) override { inner_->setRange(c, lo, hi); }
    void setVisible(int c, bool v) override { inner_->setVisible(c, v); }
    void setEnabled(int c, bool e) override { inner_->setEnabled(c, e); }
    void setBounds(int c, const platform::TwipRect& r) override { inner_->setBounds(c, r); }
    void setSelection(int c, int s, int l) override { inner_->setSelection(c, s, l); }
    void setFocus(int c) override { inner_->setFocus(c); }
    void setItems(int c, const std::vector<std::string>& i) override { inner_->setItems(c, i); }
    void setListIndex(int c, int i) override { inner_->setListIndex(c, i); }
    void setPicture(int c, std::shared_ptr<const platform::Picture> p, bool s) override {
        inner_->setPicture(c, std::move(p), s);
    }
    void repaint(int c) override {
        const auto start = Clock::now();
        inner_->repaint(c);
        timings_.repaints += Clock::now() - start;
        ++timings_.repaintCalls;
    }
    void show() override { inner_->show(); }
    void hide() override { inner_->hide(); }
    platform::TwipRect windowRect() const override { return inner_->windowRect(); }
    void moveWindow(const platform::TwipRect& r) override { inner_->moveWindow(r); }
    void setOwner(platform::NativeForm* owner) override {
        inner_->setOwner(owner ? &static_cast<TimingForm*>(owner)->inner() : nullptr);
    }

private:
    std::unique_ptr<platform::NativeForm> inner_;
    Timings& timings_;
    TimingWindows& windows_;
    std::string name_;
};
}  // namespace

std::unique_ptr<platform::NativeForm> TimingWindows::createForm(const platform::FormLayout& layout,
                                                                platform::EventSink& sink) {
    auto inner = inner_.createForm(layout, sink);
    if (!inner) return nullptr;
    return std::make_unique<TimingForm>(std::move(inner), *this, layout.name);
}

void TimingWindows::doEvents() {
    const auto start = Clock::now();
    inner_.doEvents();
    timings.events += Clock::now() - start;
    ++timings.eventCalls;
}

void TimingWindows::runLoop(platform::NativeForm* modal, const std::function<bool()>& keepRunning) {
    platform::NativeForm* inner = modal ? &static_cast<TimingForm*>(modal)->inner() : nullptr;
    if (inner && beforeModalLoop) beforeModalLoop(*inner, forms);
    inner_.runLoop(inner, keepRunning);
}

}  // namespace pictavo::bench
