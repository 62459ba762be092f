#include "program/frm_file.h"

#include <cctype>

#include "platform/utf8.h"
#include "program/app.h"
#include "program/shared_state.h"
#include "program/window_effects.h"

namespace pictavo {

namespace {
using platform::ControlKind;
using platform::Pointer;
using platform::Role;

const platform::Font kButtonFont{"Arial", 6.75, false};

platform::FormLayout layout() {
    platform::FormLayout form{.name = "FrmFile",
                            .caption = "Quell-Datei(en):",
                            .border = platform::Border::ToolWindow,
                            .clientWidth = 5370,
                            .clientHeight = 4125,
                            .pointer = Pointer::Arrow};
    form.controls = {
        {.name = "Frame1", .kind = ControlKind::Frame, .left = 90, .top = 30, .width = 5190, .height = 3225,
         .tabIndex = 6},
        {.name = "Frame2", .kind = ControlKind::Frame, .left = 90, .top = 3330, .width = 5190, .height = 705,
         .tabIndex = 1},
        {.name = "Drive1", .kind = ControlKind::ListBox, .parent = "Frame1", .left = 150, .top = 270, .width = 2385,
         .height = 315, .tooltip = " Quell-Laufwerk auswählen ... ", .tabIndex = 2, .pointer = Pointer::Arrow},
        {.name = "Dir1", .kind = ControlKind::ListBox, .parent = "Frame1", .left = 150, .top = 720, .width = 2385,
         .height = 2340, .tooltip = "Quell-Verzeichnis auswählen ... ", .tabIndex = 3, .pointer = Pointer::Arrow},
        {.name = "File1", .kind = ControlKind::ListBox, .parent = "Frame1", .left = 2640, .top = 270, .width = 2415,
         .height = 2820, .tooltip = " Quell-Datei auswählen ... ", .tabIndex = 4, .pointer = Pointer::Arrow},
        {.name = "Tfile", .kind = ControlKind::TextBox, .parent = "Frame2", .left = 150, .top = 240, .width = 2955,
         .height = 315, .caption = "*.*", .tooltip = " Quell-Dateien eingeben (z.B. *.* oder *.JPG) ",
         .tabIndex = 5, .pointer = Pointer::IBeam},
        {.name = "Cok", .kind = ControlKind::Button, .parent = "Frame2", .left = 3210, .top = 240, .width = 855,
         .height = 315, .caption = "OK", .tooltip = " OK, Auswahl übernehmen! ", .tabIndex = 0, .font = kButtonFont,
         .role = Role::Default, .pointer = Pointer::Arrow},
        {.name = "Cab", .kind = ControlKind::Button, .parent = "Frame2", .left = 4170, .top = 240, .width = 855,
         .height = 315, .caption = "Abbrechen", .tooltip = " Abbrechen ", .tabIndex = 7, .font = kButtonFont,
         .role = Role::Cancel, .pointer = Pointer::Arrow},
    };
    return form;
}

std::size_t characters(const std::string& utf8) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); i += platform::decodeUtf8(utf8, i).length) ++count;
    return count;
}
}  // namespace

FrmFile::FrmFile(App& app)
    : form(app.platform.windows, layout()),
      Tfile(form["Tfile"]),
      Drive1(form["Drive1"], app.platform.files),
      Dir1(form["Dir1"], app.platform.files),
      File1(form["File1"], app.platform.files),
      app_(app) {
    form.onLoad = [this] { Form_Load(); };
    Tfile.onChange = [this] { Tfile_Change(); };
    Drive1.onChange = [this] { Drive1_Change(); };
    Dir1.onClick = [this] { Dir1_Click(); };
    Dir1.onChange = [this] { Dir1_Change(); };
    File1.onClick = [this] { File1_Click(); };
    File1.onDblClick = [this] { File1_DblClick(); };
    form["Cok"].onClick = [this] { Cok_Click(); };
    form["Cab"].onClick = [this] { Cab_Click(); };
}

std::string FrmFile::FileName() { return filePart(Tfile.text()); }

void FrmFile::Form_Load() {
    // Every opening starts where the lists start: the current drive and directory.
    Drive1.reset();
    Dir1.reset();
    File1.reset(Dir1.path());

    platform::Form& main = app_.mainControls().window;
    const float left = static_cast<float>(main.left()) + static_cast<float>(main.width()) / 2 -
                       static_cast<float>(form.width()) / 2;
    const float top = static_cast<float>(main.top()) + static_cast<float>(main.height()) / 2 -
                      static_cast<float>(form.height()) / 2;
    form.move(left, top);
    dirClicked_ = 0;
    applyWindowEffects(app_, form);
}

void FrmFile::Tfile_Change() {
    const std::string text = Tfile.text();
    if (text.size() >= 2 && text[1] == ':' && !Drive1.setDrive(text.substr(0, 2))) return;
    const std::string current = Tfile.text();
    const std::size_t slash = current.find_last_of('\\');
    if (slash != std::string::npos && !Dir1.setPath(current.substr(0, slash))) return;
    const std::string pattern = FileName();
    if (pattern.find('*') != std::string::npos) File1.setPattern(pattern);
}

void FrmFile::Drive1_Change() {
    std::string drive = Drive1.drive();
    for (char& c : drive) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Dir1.setPath(drive);
    File1.setPath(Dir1.path());
}

void FrmFile::Dir1_Click() { dirClicked_ = 1; }

void FrmFile::Dir1_Change() {
    File1.setPath(Dir1.path());
    if (dirClicked_ == 1) Tfile.setText(withBackslash(Dir1.path()) + FileName());
    const int end = static_cast<int>(characters(Tfile.text()));
    Tfile.setSelection(end, 0);
}

void FrmFile::File1_Click() { Tfile.setText(withBackslash(Dir1.path()) + File1.fileName()); }

void FrmFile::File1_DblClick() { Cok_Click(); }

void FrmFile::Cok_Click() {
    app_.mainControls().TQD.setText(Tfile.text());
    Tfile.setText("");
    form.unload();
}

void FrmFile::Cab_Click() { form.unload(); }

}  // namespace pictavo
