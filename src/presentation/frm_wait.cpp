#include "presentation/frm_wait.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "index/shared_state.h"
#include "platform/key_codes.h"
#include "shell/app.h"

namespace pictavo {

namespace {
using platform::ControlKind;

platform::ControlLayout flag(const char* name) {
    return {.name = name, .kind = ControlKind::CheckBox, .width = 15, .height = 15, .visible = false};
}

platform::FormLayout layout() {
    platform::FormLayout form{
        .name = "FrmWait", .caption = "Wait", .border = platform::Border::None, .keyPreview = true};
    form.controls = {flag("Ck"),  flag("Ck2"), flag("Ck3"), flag("Ck4"), flag("Ck5"), flag("Ck6"),
                     {.name = "Timer1", .kind = ControlKind::Timer, .value = 1000}};
    return form;
}

using namespace platform::keys;

// The key code read as a character, upper-cased: key codes whose character
// is a lower-case letter (numeric keypad, F1, F2) count as that letter.
int letterOf(int KC) { return KC >= 'a' && KC <= 'z' ? KC - ('a' - 'A') : KC; }
}  // namespace

FrmWait::FrmWait(App& app)
    : form(app.platform.windows, layout()),
      Ck(form["Ck"]),
      Ck2(form["Ck2"]),
      Ck3(form["Ck3"]),
      Ck4(form["Ck4"]),
      Ck5(form["Ck5"]),
      Ck6(form["Ck6"]),
      app_(app) {
    form.onLoad = [this] { Form_Load(); };
    form.onKeyDown = [this](int KC) {
        Form_KeyDown(KC);
        return true;  // a key never operates a flag itself
    };
    form["Timer1"].onTimer = [this] { Timer1_Timer(); };
}

void FrmWait::Form_Load() {
    Ck.setValue(0);
    TickCount = 0;
    TickLimit = static_cast<std::int16_t>(app_.mainControls().HS1.value());
}

void FrmWait::Form_KeyDown(int KC) {
    const int letter = letterOf(KC);
    if (decoding_ && (KC != kEscape || answersGoTo())) {
        keptKeys_.push_back(KC);
        return;
    }
    auto navigate = [this](platform::Control* request) {
        Ck2.setValue(1);
        if (request) request->setValue(1);
        TickCount = 0;
        form.hide();
    };
    if (KC == kEscape) {
        Ck.setValue(1);
        form.hide();
    } else if (letter == 'P' || KC == kSpace) {
        Ck2.setValue(Ck2.value() == 0 ? 1 : 0);
    } else if (letter == 'N' || KC == kRight || KC == kEnter) {
        navigate(nullptr);
    } else if (letter == 'L' || KC == kLeft || KC == kBackspace) {
        navigate(&Ck3);
    } else if (letter == 'Q' || KC == kUp) {
        navigate(&Ck4);
    } else if (letter == 'A' || KC == kDown) {
        navigate(&Ck5);
    } else if (letter == 'G') {
        navigate(&Ck6);
    }
}

bool FrmWait::answersGoTo() const {
    return std::any_of(keptKeys_.begin(), keptKeys_.end(), [](int KC) { return letterOf(KC) == 'G'; });
}

void FrmWait::beginDecodeWait() {
    decoding_ = true;
    tickHeld_ = false;
    keptKeys_.clear();
}

std::vector<int> FrmWait::endDecodeWait(bool countHeldTick) {
    decoding_ = false;
    if (std::exchange(tickHeld_, false) && countHeldTick) Timer1_Timer();
    return std::exchange(keptKeys_, {});
}

void FrmWait::Timer1_Timer() {
    if (decoding_) {
        tickHeld_ = true;
        return;
    }
    if (Ck2.value() == 1) return;
    if (++TickCount == TickLimit) {
        TickCount = 0;
        form.hide();
    }
}

}  // namespace pictavo
