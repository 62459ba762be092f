// The main window's load and unload handlers: the program's start-up and
// shutdown sequences.

#include "core/command_line.h"
#include "core/file_size.h"
#include "core/settings.h"
#include "core/version.h"
#include "program/app.h"
#include "program/form1.h"
#include "program/frm_file.h"
#include "program/frm_go_to.h"
#include "program/frm_pic.h"
#include "program/frm_wait.h"
#include "program/list_procedures.h"
#include "program/run_now.h"
#include "program/window_effects.h"

namespace pictavo {

namespace {
constexpr const char* kReleaseDate = "06.11.2004";
constexpr double kDefaultPosition = 480;

bool asksForAutomaticStart(const std::string& word) {
    return word.find('/') != std::string::npos || word == "!" || word.find('-') != std::string::npos;
}
}  // namespace

void Form1::Form_Load() {
    platform::Platform& p = app_.platform;
    MainControls& c = controls;
    if (p.system.anotherInstanceRunning()) {
        p.system.beep();
        p.windows.quit();
        return;
    }
    form.hide();
    form.setCaption(std::string(kSettingsSection) + " - V" + VerStr() + " - " + kReleaseDate);

    const Settings stored = readSettings(p.settings, [&p](const std::string& line) { p.system.trace(line); });
    platform::TwipRect place{stored.winLeft, stored.winTop, form.width(), form.height()};
    // A position saved on a monitor that is gone would open the window where
    // nobody can see it.
    if (!p.windows.onSomeMonitor(place)) place.left = place.top = kDefaultPosition;
    form.move(place.left, place.top);

    const platform::ScreenMetrics screen = p.windows.screen();
    state.TwipsX = screen.twipsPerPixelX;
    state.TwipsY = screen.twipsPerPixelY;

    c.TQD.setText(stored.sourceFile);
    c.CkSub.setValue(stored.subScan);
    c.CkDisp.setValue(stored.displayName);
    c.CkLoop.setValue(stored.loop);
    c.CkIndex.setValue(stored.saveIndex);
    state.Transp = stored.transparence;
    state.Shadow = stored.shadow;
    state.ContinuePos = stored.continuePos;
    if (state.ContinuePos > 0) {
        if (c.TQD.text() != stored.continueDir) state.ContinuePos = 1;
        c.CkCont.setValue(1);
        c.Lpic.setText(std::to_string(state.ContinuePos) + " / 0");
    }
    c.HS1.setValue(stored.wait);
    TempStr(app_);
    state.BatchFile = "C:\\PTAV-DIR.BAT";

    const std::string args = p.system.commandLineArgs();
    const std::string w1 = CmdArg(args, 1);
    const std::string w2 = CmdArg(args, 2);
    if (!w1.empty()) {
        state.startMode = StartMode::CommandLineSource;
        state.ContinuePos = 0;
        c.Lpic.setText("0 / 0");
        c.TQD.setText(w1);
    }
    if (asksForAutomaticStart(w2)) {
        state.startMode = StartMode::Automatic;
        c.CkCont.setValue(1);
        RunNow(app_);
        if (p.windows.quitting() || !form.loaded()) return;
    }

    applyWindowEffects(app_, form);
    form.show();
    c.Cstart.setFocus();
}

void Form1::Form_Unload() {
    platform::Platform& p = app_.platform;
    MainControls& c = controls;
    if (c.CkIndex.value() == 0) deleteIfPresent(p, state.IndexFile);

    Settings out;
    out.winTop = form.top();
    out.winLeft = form.left();
    out.subScan = c.CkSub.value();
    out.displayName = c.CkDisp.value();
    out.saveIndex = c.CkIndex.value();
    out.loop = c.CkLoop.value();
    out.transparence = state.Transp;
    out.shadow = state.Shadow;
    const bool interactive = state.startMode == StartMode::Interactive;
    if (interactive) {
        if (c.CkCont.value() == 1) {
            out.continueDir = c.TQD.text();
            if (state.ContinuePos == 0) state.ContinuePos = 1;
        } else {
            out.continueDir.clear();
            state.ContinuePos = 0;
        }
        out.continuePos = state.ContinuePos;
        out.sourceFile = c.TQD.text();
    }
    out.wait = c.HS1.value();
    writeSettings(p.settings, out, interactive, [&p](const std::string& line) { p.system.trace(line); });

    app_.frmPic().form.unload();
    app_.frmFile().form.unload();
    app_.frmGoTo().form.unload();
    app_.frmWait().form.unload();

    p.windows.quit();
}

}  // namespace pictavo
