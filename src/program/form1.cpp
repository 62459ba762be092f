#include "program/form1.h"

#include "core/file_size.h"
#include "platform/key_codes.h"
#include "program/app.h"
#include "program/frm_file.h"
#include "program/frm_pic.h"
#include "program/frm_wait.h"
#include "program/list_procedures.h"
#include "program/run_now.h"

namespace pictavo {

namespace {
using platform::ControlKind;
using platform::Font;
using platform::Pointer;
using platform::Role;

const Font kFrameFont{"Comic Sans MS", 6.75, false};
const Font kKeyHelpFont{"Small Fonts", 6.75, false};
const Font kButtonFont{"Arial", 8.25, true};
const Font kOptionFont{"MS Sans Serif", 8.25, true};
const Font kLinkFont{"Arial", 6.75, false};

platform::FormLayout layout() {
    platform::FormLayout form{
        .name = "Form1",
        .border = platform::Border::FixedSingle,
        .clientWidth = 6555,
        .clientHeight = 3735,
        .keyPreview = true,
        .appIcon = true,
        .pointer = Pointer::Arrow,
    };
    form.controls = {
        {.name = "Frame1", .kind = ControlKind::Frame, .left = 90, .top = 60, .width = 3555, .height = 705,
         .caption = "Quell-Datei(en):", .font = kFrameFont},
        {.name = "TQD", .kind = ControlKind::TextBox, .parent = "Frame1", .left = 150, .top = 270, .width = 2865,
         .height = 285, .caption = "C:\\*.*", .tooltip = " Quell-Verzeichnis und Dateiname(n) ", .tabIndex = 3,
         .pointer = Pointer::IBeam},
        {.name = "CQD", .kind = ControlKind::Button, .parent = "Frame1", .left = 3120, .top = 270, .width = 285,
         .height = 285, .caption = "...", .tooltip = " Quell-Verzeichnis/Datei auswählen ", .tabIndex = 4,
         .font = kButtonFont, .pointer = Pointer::Arrow},
        {.name = "Frame3", .kind = ControlKind::Frame, .left = 90, .top = 810, .width = 3555, .height = 1395,
         .caption = "Optionen:", .font = kFrameFont},
        {.name = "CkSub", .kind = ControlKind::CheckBox, .parent = "Frame3", .left = 150, .top = 240, .width = 3255,
         .height = 285, .caption = "&Unterverzeichnisse durchsuchen",
         .tooltip = " Alle Unterverzeichnisse von Quell-Verzeichnis durchsuchen ", .tabIndex = 6,
         .font = kOptionFont, .pointer = Pointer::Arrow, .value = 1},
        {.name = "CkDisp", .kind = ControlKind::CheckBox, .parent = "Frame3", .left = 150, .top = 510,
         .width = 3255, .height = 255, .caption = "Datei-&Namen im Bild einblenden",
         .tooltip = " Verzeichnisname in Bild einblenden ", .tabIndex = 7, .font = kOptionFont,
         .pointer = Pointer::Arrow, .value = 1},
        {.name = "CkLoop", .kind = ControlKind::CheckBox, .parent = "Frame3", .left = 150, .top = 780,
         .width = 3255, .height = 225, .caption = "&Endlosschleife aktivieren",
         .tooltip = " Beginnt am ende der SlideShow wieder ab Bild Nr.1 ", .tabIndex = 8, .font = kOptionFont,
         .pointer = Pointer::Arrow},
        {.name = "CkIndex", .kind = ControlKind::CheckBox, .parent = "Frame3", .left = 150, .top = 1035,
         .width = 2205, .height = 225, .caption = "Such-Index &speichern",
         .tooltip = " Speichert den Such-Index (deaktivieren löscht den aktuellen Index) ... ", .tabIndex = 9,
         .font = kOptionFont, .pointer = Pointer::Arrow},
        {.name = "LKill", .kind = ControlKind::Label, .parent = "Frame3", .left = 2835, .top = 1050, .width = 570,
         .height = 180, .caption = " löschen ",
         .tooltip = " Löscht einen vorhandenen Such-Index (klicken, falls neue Bilder vorhanden!) ... ",
         .font = kLinkFont, .pointer = Pointer::Hand, .visible = false},
        {.name = "Frame6", .kind = ControlKind::Frame, .left = 90, .top = 2250, .width = 3555, .height = 645,
         .caption = "Status:", .font = kFrameFont},
        {.name = "Linfo", .kind = ControlKind::Label, .parent = "Frame6", .left = 150, .top = 270, .width = 3285,
         .height = 255, .tooltip = " Aktueller Programm-Status ", .font = kOptionFont},
        {.name = "Frame2", .kind = ControlKind::Frame, .left = 3750, .top = 60, .width = 2715, .height = 705,
         .caption = "Anzeige-Dauer:", .font = kFrameFont},
        {.name = "HS1", .kind = ControlKind::HScrollBar, .parent = "Frame2", .left = 150, .top = 270,
         .width = 1965, .height = 285, .tabIndex = 5, .pointer = Pointer::Arrow, .value = 5, .min = 0, .max = 60,
         .smallChange = 1, .largeChange = 5},
        {.name = "Lsek", .kind = ControlKind::Label, .parent = "Frame2", .left = 2160, .top = 300, .width = 435,
         .height = 255, .caption = "5 s", .font = kOptionFont},
        {.name = "Frame7", .kind = ControlKind::Frame, .left = 3750, .top = 810, .width = 2715, .height = 1395},
        {.name = "Cstart", .kind = ControlKind::Button, .parent = "Frame7", .left = 150, .top = 270, .width = 1155,
         .height = 405, .caption = "&Start", .tooltip = " SlideShow beginnen ... ", .tabIndex = 0,
         .font = kButtonFont, .role = Role::Default, .pointer = Pointer::Arrow},
        {.name = "CEnd", .kind = ControlKind::Button, .parent = "Frame7", .left = 1410, .top = 270, .width = 1155,
         .height = 405, .caption = "E&xit", .tooltip = " Programm verlassen ... ", .tabIndex = 1,
         .font = kButtonFont, .role = Role::Cancel, .pointer = Pointer::Arrow},
        {.name = "Line1", .kind = ControlKind::Line, .parent = "Frame7", .left = 180, .top = 840, .width = 2550,
         .height = 840},
        {.name = "CkCont", .kind = ControlKind::CheckBox, .parent = "Frame7", .left = 150, .top = 990,
         .width = 2415, .height = 255, .caption = "&weiter ab der letzten Position",
         .tooltip = " Startet die SlideShow ab dem zuletzt angesehenen Bild ", .tabIndex = 2,
         .pointer = Pointer::Arrow},
        {.name = "Frame5", .kind = ControlKind::Frame, .left = 3750, .top = 2250, .width = 2715, .height = 645,
         .caption = "Bild(er):", .font = kFrameFont},
        {.name = "Lpic", .kind = ControlKind::Label, .parent = "Frame5", .left = 150, .top = 270, .width = 2415,
         .height = 225, .caption = "0 / 0", .tooltip = " Aktuelle, globale Bild-Nummer / Anzahl aller Bilder ",
         .font = kOptionFont},
        {.name = "Frame4", .kind = ControlKind::Frame, .left = 90, .top = 2940, .width = 6375, .height = 705,
         .caption = "Tasten nach Start:", .font = kFrameFont},
        {.name = "Ltasten", .kind = ControlKind::Label, .parent = "Frame4", .left = 60, .top = 210, .width = 6225,
         .height = 225,
         .caption = "[Esc]: SlideShow abbrechen,  [Leertaste]: automatisches Weiterschalten AUS / EIN,  [G]: "
                    "Gehe zu ...",
         .font = kKeyHelpFont},
        {.name = "Label1", .kind = ControlKind::Label, .parent = "Frame4", .left = 60, .top = 420, .width = 6225,
         .height = 225,
         .caption = "[Pfeil-Links/Rechts]: vorheriges/nächstes Bild,  [Pfeil-Auf/Ab]: vorheriges/nächstes "
                    "Verzeichnis",
         .font = kKeyHelpFont},
    };
    return form;
}
}  // namespace

Form1::Form1(App& app)
    : form(app.platform.windows, layout()),
      controls{form,          form["TQD"],     form["CQD"],     form["Cstart"], form["CkSub"],
               form["CkDisp"], form["CkLoop"], form["CkIndex"], form["CkCont"], form["HS1"],
               form["LKill"],  form["Linfo"],  form["Lpic"]},
      app_(app) {
    form.onLoad = [this] { Form_Load(); };
    form.onUnload = [this] { Form_Unload(); };
    form.onKeyDown = [this](int keyCode) { return Form_KeyDown(keyCode); };
    form.onGotFocus = [this] { controls.AllRefresh(); };
    form.onLostFocus = [this] { controls.AllRefresh(); };
    controls.Cstart.onClick = [this] { Cstart_Click(); };
    form["CEnd"].onClick = [this] { CEnd_Click(); };
    controls.CQD.onClick = [this] { CQD_Click(); };
    controls.TQD.onChange = [this] { TQD_Change(); };
    controls.TQD.onGotFocus = [this] { TQD_GotFocus(); };
    controls.CkSub.onClick = [this] { CkSub_Click(); };
    controls.HS1.onChange = [this] { HS1_Change(); };
    controls.LKill.onClick = [this] { LKill_Click(); };
}

void Form1::Cstart_Click() { RunNow(app_); }

void Form1::CEnd_Click() {
    app_.frmPic().form.unload();
    app_.frmWait().form.unload();
    form.unload();
}

void Form1::CQD_Click() {
    app_.frmPic().form.unload();
    app_.frmWait().form.unload();
    FrmFile& dialog = app_.frmFile();
    dialog.form.load();
    dialog.Tfile.setText(controls.TQD.text());
    dialog.form.showModal();
}

void Form1::TQD_Change() {
    state.list.CachedCount = 0;
    state.ContinuePos = 0;
    state.list.PicCount = 0;
    state.list.PicPos = 0;
    controls.Lpic.setText("0 / 0");
    TempStr(app_);
    controls.LKill.setVisible(FileSize(app_.platform, state.IndexFile) > 0);
}

void Form1::TQD_GotFocus() { controls.TQD.setSelection(0, -1); }

void Form1::CkSub_Click() { state.list.CachedCount = 0; }

// A leading blank stands in the place of the sign.
void Form1::HS1_Change() {
    std::string caption = std::to_string(controls.HS1.value());
    caption.insert(caption.begin(), ' ');
    form["Lsek"].setText(caption + " s");
}

void Form1::LKill_Click() { DelFile(app_); }

bool Form1::Form_KeyDown(int keyCode) {
    if (keyCode == platform::keys::kDelete) DelFile(app_);
    return false;
}

}  // namespace pictavo
