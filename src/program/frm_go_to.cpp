#include "program/frm_go_to.h"

#include "core/settings.h"
#include "program/app.h"
#include "program/window_effects.h"

namespace pictavo {

namespace {
using platform::ControlKind;
using platform::Role;

const platform::Font kBold{"MS Sans Serif", 8.25, true};

platform::FormLayout layout() {
    platform::FormLayout form{.name = "FrmGoTo",
                            .border = platform::Border::ToolWindow,
                            .clientWidth = 3825,
                            .clientHeight = 1665,
                            .centerOnScreen = true,
                            .pointer = platform::Pointer::Arrow};
    form.controls = {
        {.name = "Frame1", .kind = ControlKind::Frame, .left = 60, .top = -30, .width = 3705, .height = 945,
         .tabIndex = 4},
        {.name = "Frame2", .kind = ControlKind::Frame, .left = 60, .top = 900, .width = 3705, .height = 705,
         .tabIndex = 7},
        {.name = "GoToPic", .kind = ControlKind::TextBox, .parent = "Frame1", .left = 2130, .top = 195, .width = 675,
         .height = 285, .caption = "0", .tabIndex = 0, .font = kBold, .pointer = platform::Pointer::IBeam},
        {.name = "HS1", .kind = ControlKind::HScrollBar, .parent = "Frame1", .left = 120, .top = 600, .width = 3435,
         .height = 225, .tabIndex = 1, .pointer = platform::Pointer::Arrow, .smallChange = 1, .largeChange = 10},
        {.name = "Label1", .kind = ControlKind::Label, .parent = "Frame1", .left = 120, .top = 240, .width = 1965,
         .height = 255, .caption = "Gehe zu Bild Nummer:", .font = kBold},
        {.name = "GoToMax", .kind = ControlKind::Label, .parent = "Frame1", .left = 2880, .top = 240, .width = 765,
         .height = 255, .caption = "/ 0", .font = kBold},
        {.name = "cOk", .kind = ControlKind::Button, .parent = "Frame2", .left = 120, .top = 210, .width = 1695,
         .height = 375, .caption = "&OK", .tabIndex = 2, .role = Role::Default, .pointer = platform::Pointer::Arrow},
        {.name = "cAbbr", .kind = ControlKind::Button, .parent = "Frame2", .left = 1890, .top = 210, .width = 1695,
         .height = 375, .caption = "&Abbrechen", .tabIndex = 3, .role = Role::Cancel,
         .pointer = platform::Pointer::Arrow},
    };
    return form;
}
}  // namespace

FrmGoTo::FrmGoTo(App& app)
    : form(app.platform.windows, layout()),
      GoToPic(form["GoToPic"]),
      HS1(form["HS1"]),
      GoToMax(form["GoToMax"]),
      app_(app) {
    form.onLoad = [this] { Form_Load(); };
    form.onUnload = [this] { pictureCount = 0; };
    // The close box answers like cancel and leaves the text for the opener.
    form.onQueryUnload = [this] {
        cAbbr_Click();
        return true;
    };
    GoToPic.onGotFocus = [this] { GoToPic_GotFocus(); };
    HS1.onChange = [this] { HS1_Change(); };
    form["cOk"].onClick = [this] { cOk_Click(); };
    form["cAbbr"].onClick = [this] { cAbbr_Click(); };
}

void FrmGoTo::Form_Load() { applyWindowEffects(app_, form); }

void FrmGoTo::GoToPic_GotFocus() { GoToPic.setSelection(0, -1); }

void FrmGoTo::HS1_Change() { GoToPic.setText(std::to_string(HS1.value())); }

void FrmGoTo::cOk_Click() {
    double value = leadingNumber(GoToPic.text());
    const int maximum = pictureCount > 0 ? pictureCount : HS1.max();
    if (value > maximum) value = maximum;
    if (value < 1) value = 1;
    GoToPic.setText(numberText(value));
    form.hide();
}

void FrmGoTo::cAbbr_Click() {
    GoToPic.setText("");
    form.hide();
}

}  // namespace pictavo
