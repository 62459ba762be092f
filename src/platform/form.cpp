#include "platform/form.h"

#include <algorithm>

#include "platform/key_codes.h"

namespace pictavo::platform {

Control::Control(Form& form, int index, const ControlLayout& layout)
    : form_(form), index_(index), layout_(layout) {
    reset();
}

void Control::reset() {
    text_ = layout_.caption;
    value_ = layout_.value;
    min_ = layout_.min;
    max_ = layout_.max;
    visible_ = layout_.visible;
    enabled_ = true;
    bounds_ = {layout_.left, layout_.top, layout_.width, layout_.height};
    items_.clear();
    listIndex_ = -1;
    picture_.reset();
    stretch_ = false;
    changed_ = true;
}

NativeForm* Control::native() {
    form_.ensureLoaded();
    changed_ = true;
    return form_.native_.get();
}

const std::string& Control::text() {
    form_.ensureLoaded();
    return text_;
}

void Control::setText(const std::string& text) {
    form_.ensureLoaded();
    changeText(text, true);
}

void Control::changeText(const std::string& text, bool push) {
    if (text == text_) return;
    text_ = text;
    changed_ = true;
    if (push && form_.native_) form_.native_->setText(index_, text_);
    if (layout_.kind == ControlKind::TextBox && onChange) onChange();
}

int Control::value() {
    form_.ensureLoaded();
    return value_;
}

void Control::setValue(int value) {
    form_.ensureLoaded();
    if (layout_.kind == ControlKind::HScrollBar)
        value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    changeValue(value, true);
}

void Control::changeValue(int value, bool push) {
    if (value == value_) return;
    value_ = value;
    changed_ = true;
    if (push && form_.native_) form_.native_->setValue(index_, value_);
    if (layout_.kind == ControlKind::CheckBox && onClick) onClick();
    if (layout_.kind == ControlKind::HScrollBar && onChange) onChange();
}

int Control::min() {
    form_.ensureLoaded();
    return min_;
}

int Control::max() {
    form_.ensureLoaded();
    return max_;
}

void Control::setMin(int min) {
    auto* n = native();
    min_ = min;
    if (n) n->setRange(index_, min_, max_);
    setValue(value_);
}

void Control::setMax(int max) {
    auto* n = native();
    max_ = max;
    if (n) n->setRange(index_, min_, max_);
    setValue(value_);
}

bool Control::visible() {
    form_.ensureLoaded();
    return visible_;
}

void Control::setVisible(bool visible) {
    auto* n = native();
    if (visible == visible_) return;
    visible_ = visible;
    if (n) n->setVisible(index_, visible_);
}

bool Control::enabled() {
    form_.ensureLoaded();
    return enabled_;
}

void Control::setEnabled(bool enabled) {
    auto* n = native();
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (n) n->setEnabled(index_, enabled_);
}

double Control::left() {
    form_.ensureLoaded();
    return bounds_.left;
}
double Control::top() {
    form_.ensureLoaded();
    return bounds_.top;
}
double Control::width() {
    form_.ensureLoaded();
    return bounds_.width;
}
double Control::height() {
    form_.ensureLoaded();
    return bounds_.height;
}

void Control::pushBounds() {
    if (auto* n = native()) n->setBounds(index_, bounds_);
}

void Control::setLeft(double twips) {
    form_.ensureLoaded();
    bounds_.left = twips;
    pushBounds();
}
void Control::setTop(double twips) {
    form_.ensureLoaded();
    bounds_.top = twips;
    pushBounds();
}
void Control::setWidth(double twips) {
    form_.ensureLoaded();
    bounds_.width = twips;
    pushBounds();
}
void Control::setHeight(double twips) {
    form_.ensureLoaded();
    bounds_.height = twips;
    pushBounds();
}

void Control::setFocus() {
    if (auto* n = native()) n->setFocus(index_);
}

void Control::setSelection(int start, int length) {
    if (auto* n = native()) n->setSelection(index_, start, length);
}

const std::vector<std::string>& Control::items() {
    form_.ensureLoaded();
    return items_;
}

void Control::setItems(std::vector<std::string> items) {
    auto* n = native();
    items_ = std::move(items);
    listIndex_ = -1;
    if (n) n->setItems(index_, items_);
}

int Control::listIndex() {
    form_.ensureLoaded();
    return listIndex_;
}

void Control::setListIndex(int index) {
    auto* n = native();
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (index == listIndex_) return;
    listIndex_ = index;
    if (n) n->setListIndex(index_, listIndex_);
    if (onClick) onClick();
}

const std::shared_ptr<const Picture>& Control::picture() {
    form_.ensureLoaded();
    return picture_;
}

void Control::setPicture(std::shared_ptr<const Picture> picture) {
    auto* n = native();
    picture_ = std::move(picture);
    if (!stretch_ && picture_) {
        const ScreenMetrics screen = form_.windows_.screen();
        bounds_.width = picture_->widthPx() * screen.twipsPerPixelX;
        bounds_.height = picture_->heightPx() * screen.twipsPerPixelY;
        if (n) n->setBounds(index_, bounds_);
    }
    if (n) n->setPicture(index_, picture_, stretch_);
}

bool Control::stretch() {
    form_.ensureLoaded();
    return stretch_;
}

void Control::setStretch(bool stretch) {
    auto* n = native();
    if (stretch == stretch_) return;
    stretch_ = stretch;
    if (n) n->setPicture(index_, picture_, stretch_);
}

void Control::refresh() {
    form_.ensureLoaded();
    if (!changed_ || !form_.native_) return;
    changed_ = false;
    form_.native_->repaint(index_);
}

Form::Form(WindowSystem& windows, FormLayout layout) : windows_(windows), layout_(std::move(layout)) {
    caption_ = layout_.caption;
    controls_.reserve(layout_.controls.size());
    for (std::size_t i = 0; i < layout_.controls.size(); ++i)
        controls_.push_back(std::make_unique<Control>(*this, static_cast<int>(i), layout_.controls[i]));
}

Form::~Form() = default;

Control& Form::operator[](std::string_view controlName) {
    for (auto& control : controls_)
        if (control->name() == controlName) return *control;
    // Control names are fixed in each window's layout table; asking for another
    // one is a programming error that tests catch at once.
    std::abort();
}

void Form::ensureLoaded() {
    if (!native_) load();
}

void Form::load() {
    if (native_ || loading_ || windows_.quitting()) return;
    loading_ = true;
    caption_ = layout_.caption;
    native_ = windows_.createForm(layout_, *this);
    loading_ = false;
    // A window the system refused stays unloaded; its load handler would
    // touch its controls, and so try again, without end.
    if (native_ && onLoad) onLoad();
}

void Form::unload() {
    if (!native_) return;
    if (onUnload) onUnload();
    if (!native_) return;  // the unload handler unloaded the form itself
    std::unique_ptr<NativeForm> old = std::move(native_);
    visible_ = false;
    shownOnce_ = false;
    focused_ = kFormItself;
    caption_ = layout_.caption;
    for (auto& control : controls_) control->reset();
    old.reset();
}

// The control first in the tab order takes the focus when a window first
// appears.
void Form::focusFirstControl() {
    if (shownOnce_) return;
    shownOnce_ = true;
    Control* first = nullptr;
    for (auto& control : controls_) {
        const ControlLayout& layout = control->layout();
        if (layout.tabIndex < 0 || layout.kind == ControlKind::Frame || layout.kind == ControlKind::Label) continue;
        if (!control->visible_ || !control->enabled_) continue;
        if (!first || layout.tabIndex < first->layout().tabIndex) first = control.get();
    }
    if (first) first->setFocus();
}

void Form::show() {
    ensureLoaded();
    if (!native_) return;
    visible_ = true;
    native_->show();
    focusFirstControl();
}

void Form::showModal(Form* owner, const std::function<bool()>& until) {
    ensureLoaded();
    if (!native_) return;
    native_->setOwner(owner ? owner->native() : nullptr);
    visible_ = true;
    native_->show();
    focusFirstControl();
    windows_.runLoop(native_.get(), [&] { return native_ != nullptr && visible_ && !(until && until()); });
    // The owner may go before this form does.
    if (native_) native_->setOwner(nullptr);
}

void Form::hide() {
    ensureLoaded();
    if (!native_) return;
    visible_ = false;
    native_->hide();
}

void Form::refresh() {
    ensureLoaded();
    if (native_) native_->repaint(kFormItself);
}

const std::string& Form::caption() {
    ensureLoaded();
    return caption_;
}

void Form::setCaption(const std::string& caption) {
    ensureLoaded();
    caption_ = caption;
    if (native_) native_->setText(kFormItself, caption_);
}

double Form::left() {
    ensureLoaded();
    return native_ ? native_->windowRect().left : layout_.left;
}
double Form::top() {
    ensureLoaded();
    return native_ ? native_->windowRect().top : layout_.top;
}
double Form::width() {
    ensureLoaded();
    return native_ ? native_->windowRect().width : layout_.clientWidth;
}
double Form::height() {
    ensureLoaded();
    return native_ ? native_->windowRect().height : layout_.clientHeight;
}

void Form::move(double left, double top) {
    ensureLoaded();
    if (!native_) return;
    TwipRect rect = native_->windowRect();
    rect.left = left;
    rect.top = top;
    native_->moveWindow(rect);
}

void Form::move(double left, double top, double width, double height) {
    ensureLoaded();
    if (native_) native_->moveWindow({left, top, width, height});
}

Control* Form::roleButton(Role role) {
    for (auto& control : controls_)
        if (control->layout().role == role) return control.get();
    return nullptr;
}

bool Form::keyDown(int keyCode) {
    if (layout_.keyPreview && onKeyDown && onKeyDown(keyCode)) return true;
    if (!native_) return true;
    Control* target = nullptr;
    if (keyCode == keys::kEnter) {
        const bool onButton = focused_ >= 0 &&
                              controls_[static_cast<std::size_t>(focused_)]->layout().kind == ControlKind::Button;
        target = onButton ? controls_[static_cast<std::size_t>(focused_)].get() : roleButton(Role::Default);
    } else if (keyCode == keys::kEscape) {
        target = roleButton(Role::Cancel);
    }
    if (!target || !target->enabled_ || !target->visible_) return false;
    if (target->onClick) target->onClick();
    return true;
}

bool Form::onEvent(const NativeEvent& event) {
    if (!native_) return false;
    Control* control = event.control >= 0 && event.control < static_cast<int>(controls_.size())
                           ? controls_[static_cast<std::size_t>(event.control)].get()
                           : nullptr;
    switch (event.kind) {
        case EventKind::Click:
            if (!control) return false;
            if (control->layout().kind == ControlKind::CheckBox) {
                control->changeValue(control->value_ == 1 ? 0 : 1, true);
            } else if (control->layout().kind == ControlKind::ListBox) {
                control->listIndex_ = event.value;
                if (control->onClick) control->onClick();
            } else if (control->onClick) {
                control->onClick();
            }
            return true;
        case EventKind::DblClick:
            if (control && control->onDblClick) control->onDblClick();
            return true;
        case EventKind::TextChanged:
            if (control) control->changeText(event.text, false);
            return true;
        case EventKind::Scrolled:
            if (control)
                control->changeValue(std::clamp(event.value, std::min(control->min_, control->max_),
                                                std::max(control->min_, control->max_)),
                                     false);
            return true;
        case EventKind::KeyDown:
            return keyDown(event.value);
        case EventKind::KeyPress:
            if (onKeyPress) onKeyPress(event.value);
            return true;
        case EventKind::GotFocus:
            if (!control) {
                if (onGotFocus) onGotFocus();
            } else {
                focused_ = event.control;
                if (control->onGotFocus) control->onGotFocus();
            }
            return true;
        case EventKind::LostFocus:
            if (!control && onLostFocus) onLostFocus();
            return true;
        case EventKind::MouseDown:
            if (onMouseDown) onMouseDown();
            return true;
        case EventKind::Timer:
            if (control && control->onTimer) control->onTimer();
            return true;
        case EventKind::CloseBox:
            if (!(onQueryUnload && onQueryUnload())) unload();
            return true;
        case EventKind::Moved:
            return false;
    }
    return false;
}

}  // namespace pictavo::platform
