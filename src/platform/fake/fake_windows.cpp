#include "platform/fake/fake_windows.h"

#include <algorithm>
#include <stdexcept>

#include "platform/fake/fake_clock.h"
#include "platform/key_codes.h"

namespace pictavo::platform::fake {

namespace {
// Keys whose press also produces a character, as the window system would
// translate them (letters arrive as upper-case key codes).
int characterOf(int keyCode) {
    using namespace keys;
    if (keyCode == kBackspace || keyCode == kEnter || keyCode == kEscape || keyCode == kSpace) return keyCode;
    if ((keyCode >= '0' && keyCode <= '9') || (keyCode >= 'A' && keyCode <= 'Z'))
        return keyCode >= 'A' ? keyCode + ('a' - 'A') : keyCode;
    return 0;
}
}  // namespace

FakeNativeForm::FakeNativeForm(FakeWindowSystem& system, const FormLayout& layout, EventSink& sink)
    : system_(system), geometry_(layout), sink_(sink), title_(layout.caption) {
    controls_.reserve(layout.controls.size());
    for (const ControlLayout& c : layout.controls) {
        FakeControlState state;
        state.text = c.caption;
        state.value = c.value;
        state.min = c.min;
        state.max = c.max;
        controls_.push_back(state);
    }
    rect_ = {layout.left, layout.top, layout.clientWidth, layout.clientHeight};
}

FakeNativeForm::~FakeNativeForm() { system_.forget(this); }

int FakeNativeForm::indexOf(const std::string& controlName) const {
    for (int i = 0; i < geometry_.count(); ++i)
        if (geometry_.layout(i).name == controlName) return i;
    return -1;
}

FakeControlState& FakeNativeForm::control(const std::string& controlName) {
    return controls_.at(static_cast<std::size_t>(indexOf(controlName)));
}

bool FakeNativeForm::visible(const std::string& controlName) const {
    const int index = indexOf(controlName);
    return geometry_.has(index) && geometry_.effectiveVisible(index);
}

const TwipRect& FakeNativeForm::bounds(const std::string& controlName) const {
    return geometry_.bounds(checked(indexOf(controlName)));
}

int FakeNativeForm::checked(int control) const {
    if (!geometry_.has(control)) throw std::out_of_range("no control " + std::to_string(control));
    return control;
}

void FakeNativeForm::setText(int control, const std::string& text) {
    if (control == kFormItself)
        title_ = text;
    else {
        auto& c = controls_.at(static_cast<std::size_t>(control));
        c.text = text;
        c.history.push_back(text);
        system_.textLog[layout().name + "." + geometry_.layout(control).name].push_back(text);
    }
}
void FakeNativeForm::setValue(int control, int value) { controls_.at(static_cast<std::size_t>(control)).value = value; }
void FakeNativeForm::setRange(int control, int min, int max) {
    auto& c = controls_.at(static_cast<std::size_t>(control));
    c.min = min;
    c.max = max;
}
void FakeNativeForm::setVisible(int control, bool visible) {
    geometry_.setVisible(checked(control), visible);
}
void FakeNativeForm::setEnabled(int control, bool enabled) {
    geometry_.setEnabled(checked(control), enabled);
}
void FakeNativeForm::setBounds(int control, const TwipRect& rect) {
    geometry_.setBounds(checked(control), rect);
}
void FakeNativeForm::setSelection(int control, int start, int length) {
    auto& c = controls_.at(static_cast<std::size_t>(control));
    c.selStart = start;
    c.selLength = length;
}
void FakeNativeForm::setFocus(int control) {
    if (focus_ == control) return;
    focus_ = control;
    sink_.onEvent({EventKind::GotFocus, control, 0, {}});
}
void FakeNativeForm::setItems(int control, const std::vector<std::string>& items) {
    auto& c = controls_.at(static_cast<std::size_t>(control));
    c.items = items;
    c.listIndex = -1;
}
void FakeNativeForm::setListIndex(int control, int index) {
    controls_.at(static_cast<std::size_t>(control)).listIndex = index;
}
void FakeNativeForm::setPicture(int control, std::shared_ptr<const Picture> picture, bool stretch) {
    auto& c = controls_.at(static_cast<std::size_t>(control));
    c.picture = std::move(picture);
    c.stretch = stretch;
}
void FakeNativeForm::repaint(int control) {
    if (control == kFormItself)
        ++repaints_;
    else
        ++controls_.at(static_cast<std::size_t>(control)).repaints;
}
void FakeNativeForm::show() { shown_ = true; }
void FakeNativeForm::hide() { shown_ = false; }

FakeWindowSystem::FakeWindowSystem(FakeClock& clock) : clock_(clock) {}

std::unique_ptr<NativeForm> FakeWindowSystem::createForm(const FormLayout& layout, EventSink& sink) {
    if (refused.count(layout.name)) return nullptr;
    auto form = std::make_unique<FakeNativeForm>(*this, layout, sink);
    forms_.push_back(form.get());
    return form;
}

void FakeWindowSystem::forget(FakeNativeForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    modalStack_.erase(std::remove(modalStack_.begin(), modalStack_.end(), form), modalStack_.end());
}

FakeNativeForm* FakeWindowSystem::find(const std::string& formName) {
    for (auto* form : forms_)
        if (form->layout().name == formName) return form;
    return nullptr;
}

void FakeWindowSystem::messageBox(const std::string& text, const std::string& title) {
    messages.emplace_back(text, title);
}

void FakeWindowSystem::post(std::function<void()> job) { jobs_.push_back(std::move(job)); }

bool FakeWindowSystem::runInternal() {
    if (jobs_.empty()) return false;
    auto job = std::move(jobs_.front());
    jobs_.pop_front();
    job();
    return true;
}

void FakeWindowSystem::doEvents() {
    ++doEventsCalls;
    while (runInternal()) {
    }
    while (!quitting_ && !script_.empty() && script_.front().atYield) {
        auto step = std::move(script_.front());
        script_.pop_front();
        step.action();
    }
}

void FakeWindowSystem::runLoop(NativeForm* modal, const std::function<bool()>& keepRunning) {
    auto* fakeModal = static_cast<FakeNativeForm*>(modal);
    if (fakeModal) modalStack_.push_back(fakeModal);
    while (!quitting_ && keepRunning()) {
        if (runInternal()) continue;
        if (!typedAhead_.empty()) {
            const int keyCode = typedAhead_.front();
            typedAhead_.pop_front();
            press(keyCode);
            continue;
        }
        if (script_.empty()) {
            if (fakeModal) {
                exhaustedInModal = true;
                quit();
            }
            break;
        }
        auto step = std::move(script_.front());
        script_.pop_front();
        step.action();
    }
    if (fakeModal) {
        auto it = std::find(modalStack_.begin(), modalStack_.end(), fakeModal);
        if (it != modalStack_.end()) modalStack_.erase(it);
    }
}

FakeNativeForm* FakeWindowSystem::keyTarget() {
    if (!modalStack_.empty()) return modalStack_.back();
    for (auto it = forms_.rbegin(); it != forms_.rend(); ++it)
        if ((*it)->shown()) return *it;
    return nullptr;
}

void FakeWindowSystem::deliver(const std::string& form, const std::string& control, NativeEvent event) {
    FakeNativeForm* target = find(form);
    if (!target || !target->shown()) {
        ++undelivered;
        return;
    }
    if (!control.empty()) {
        event.control = target->indexOf(control);
        if (event.control < 0) {
            ++undelivered;
            return;
        }
        // A control in a hidden or disabled frame takes no input either.
        const FormGeometry& geometry = target->geometry();
        if (!geometry.effectiveVisible(event.control) || !geometry.effectiveEnabled(event.control)) {
            ++undelivered;
            return;
        }
    }
    // A modal window disables every window it does not belong to.
    if (!modalStack_.empty() && modalStack_.back() != target) {
        ++undelivered;
        return;
    }
    target->sink().onEvent(event);
}

FakeWindowSystem& FakeWindowSystem::add(std::function<void()> action) {
    script_.push_back({std::move(action), false});
    return *this;
}

FakeWindowSystem& FakeWindowSystem::atYield() {
    if (!script_.empty()) script_.back().atYield = true;
    return *this;
}

void FakeWindowSystem::typeAhead(std::vector<int> keyCodes) {
    typedAhead_.insert(typedAhead_.begin(), keyCodes.begin(), keyCodes.end());
}

void FakeWindowSystem::press(int keyCode) {
    FakeNativeForm* target = keyTarget();
    if (!target) {
        ++undelivered;
        return;
    }
    const bool consumed = target->sink().onEvent({EventKind::KeyDown, kFormItself, keyCode, {}});
    const int character = characterOf(keyCode);
    if (!consumed && character != 0 && find(target->layout().name) == target)
        target->sink().onEvent({EventKind::KeyPress, kFormItself, character, {}});
}

FakeWindowSystem& FakeWindowSystem::key(int keyCode) {
    return add([this, keyCode] { press(keyCode); });
}

FakeWindowSystem& FakeWindowSystem::click(const std::string& form, const std::string& control) {
    return add([=, this] { deliver(form, control, {EventKind::Click, kFormItself, 0, {}}); });
}

FakeWindowSystem& FakeWindowSystem::dblClick(const std::string& form, const std::string& control) {
    return add([=, this] { deliver(form, control, {EventKind::DblClick, kFormItself, 0, {}}); });
}

FakeWindowSystem& FakeWindowSystem::type(const std::string& form, const std::string& control,
                                         const std::string& text) {
    return add([=, this] {
        if (FakeNativeForm* target = find(form); target && target->indexOf(control) >= 0)
            target->control(control).text = text;
        deliver(form, control, {EventKind::TextChanged, kFormItself, 0, text});
    });
}

FakeWindowSystem& FakeWindowSystem::scroll(const std::string& form, const std::string& control, int value) {
    return add([=, this] { deliver(form, control, {EventKind::Scrolled, kFormItself, value, {}}); });
}

FakeWindowSystem& FakeWindowSystem::select(const std::string& form, const std::string& control, int index) {
    return add([=, this] { deliver(form, control, {EventKind::Click, kFormItself, index, {}}); });
}

FakeWindowSystem& FakeWindowSystem::focus(const std::string& form, const std::string& control) {
    return add([=, this] {
        FakeNativeForm* target = find(form);
        const int index = target ? target->indexOf(control) : -1;
        if (index < 0) {
            ++undelivered;
            return;
        }
        target->setFocus(index);
    });
}

FakeWindowSystem& FakeWindowSystem::tick(int count) {
    for (int i = 0; i < count; ++i) {
        add([this] {
            clock_.advance(1000);
            // Collect first: a timer handler may unload forms.
            std::vector<std::pair<FakeNativeForm*, int>> timers;
            for (auto* form : forms_)
                for (std::size_t c = 0; c < form->layout().controls.size(); ++c)
                    if (form->layout().controls[c].kind == ControlKind::Timer &&
                        form->layout().controls[c].value > 0)
                        timers.emplace_back(form, static_cast<int>(c));
            for (auto [form, control] : timers)
                if (std::find(forms_.begin(), forms_.end(), form) != forms_.end())
                    form->sink().onEvent({EventKind::Timer, control, 0, {}});
        });
    }
    return *this;
}

FakeWindowSystem& FakeWindowSystem::closeBox(const std::string& form) {
    return add([=, this] {
        FakeNativeForm* target = find(form);
        if (!target) {
            ++undelivered;
            return;
        }
        target->sink().onEvent({EventKind::CloseBox, kFormItself, 0, {}});
    });
}

FakeWindowSystem& FakeWindowSystem::call(std::function<void()> action) { return add(std::move(action)); }

}  // namespace pictavo::platform::fake
