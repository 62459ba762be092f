#include "program/frm_run_now.h"

#include "program/app.h"
#include "program/shared_state.h"
#include "program/window_effects.h"

namespace pictavo {

namespace {
using platform::ControlKind;

platform::FormLayout layout() {
    platform::FormLayout form{
        .name = "FrmRunNow",
        .border = platform::Border::ToolWindow,
        .clientWidth = 3675,
        .clientHeight = 885,
        .centerOnScreen = true,
        .pointer = platform::Pointer::Arrow,
    };
    form.controls = {
        {.name = "Frame6", .kind = ControlKind::Frame, .left = 60, .top = 0, .width = 3555, .height = 825,
         .caption = "Status:", .font = {"Comic Sans MS", 6.75, false}},
        {.name = "Linfo", .kind = ControlKind::Label, .parent = "Frame6", .left = 150, .top = 240, .width = 3285,
         .height = 255, .caption = "Bitte warten ...", .tooltip = " Aktueller Programm-Status ",
         .font = {"MS Sans Serif", 8.25, true}},
        {.name = "Lpic", .kind = ControlKind::Label, .parent = "Frame6", .left = 150, .top = 510, .width = 3255,
         .height = 225, .caption = "Bilder: 0", .tooltip = " Aktuelle, globale Bild-Nummer / Anzahl aller Bilder ",
         .font = {"MS Sans Serif", 8.25, true}},
    };
    return form;
}
}  // namespace

FrmRunNow::FrmRunNow(App& app)
    : form(app.platform.windows, layout()), Linfo(form["Linfo"]), Lpic(form["Lpic"]), app_(app) {
    form.onLoad = [this] { Form_Load(); };
    form.onQueryUnload = [this] { return Form_QueryUnload(); };
}

void FrmRunNow::Form_Load() { applyWindowEffects(app_, form); }

// Only the user's own closing reaches here; the program unloads the window
// without asking.
bool FrmRunNow::Form_QueryUnload() {
    app_.mainControls().window.unload();
    return false;
}

}  // namespace pictavo
