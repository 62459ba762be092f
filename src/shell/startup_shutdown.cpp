// The main window's load and unload handlers: the program's start-up and
// shutdown sequences.

#include "index/file_size.h"
#include "index/list_procedures.h"
#include "index/run_now.h"
#include "dialogs/frm_file.h"
#include "dialogs/frm_go_to.h"
#include "presentation/frm_pic.h"
#include "presentation/frm_wait.h"
#include "shell/app.h"
#include "shell/command_line.h"
#include "shell/form1.h"
#include "shell/settings.h"
#include "shell/version.h"
#include "shell/window_effects.h"

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
    if (p.system.anotherInstanceRunning()) {
        p.system.beep();
        p.windows.quit();
        return;
    }
    form.hide();
    form.setCaption(std::string(kSettingsSection) + " - V" + VerStr() + " - " + kReleaseDate);

    const Settings stored = readSettings(p.settings);
    platform::TwipRect place{stored.winLeft, stored.winTop, form.width(), form.height()};
    // A position saved on a monitor that is gone would open the window where
    // nobody can see it.
    if (!p.windows.onSomeMonitor(place)) place.left = place.top = kDefaultPosition;
    form.move(place.left, place.top);

    const platform::ScreenMetrics screen = p.windows.screen();
    TwipsX = screen.twipsPerPixelX;
    TwipsY = screen.twipsPerPixelY;

    TQD.setText(stored.sourceFile);
    CkSub.setValue(stored.subScan);
    CkDisp.setValue(stored.displayName);
    CkLoop.setValue(stored.loop);
    CkIndex.setValue(stored.saveIndex);
    Transp = stored.transparence;
    Shadow = stored.shadow;
    ContinuePos = stored.continuePos;
    if (ContinuePos > 0) {
        if (TQD.text() != stored.continueDir) ContinuePos = 1;
        CkCont.setValue(1);
        Lpic.setText(std::to_string(ContinuePos) + " / 0");
    }
    HS1.setValue(stored.wait);
    TempStr(app_);
    BatchFile = "C:\\PTAV-DIR.BAT";

    const std::string args = p.system.commandLineArgs();
    const std::string w1 = CmdArg(args, 1);
    const std::string w2 = CmdArg(args, 2);
    if (!w1.empty()) {
        StartMode = 1;
        ContinuePos = 0;
        Lpic.setText("0 / 0");
        TQD.setText(w1);
    }
    if (asksForAutomaticStart(w2)) {
        StartMode = 2;
        CkCont.setValue(1);
        RunNow(app_);
        if (p.windows.quitting() || !form.loaded()) return;
    }

    applyWindowEffects(app_, form);
    form.show();
    Cstart.setFocus();
}

void Form1::Form_Unload() {
    platform::Platform& p = app_.platform;
    if (CkIndex.value() == 0 && FileSize(p.files, IndexFile) > -1) p.files.deleteFile(IndexFile);

    Settings out;
    out.winTop = form.top();
    out.winLeft = form.left();
    out.subScan = CkSub.value();
    out.displayName = CkDisp.value();
    out.saveIndex = CkIndex.value();
    out.loop = CkLoop.value();
    out.transparence = Transp;
    out.shadow = Shadow;
    const bool interactive = StartMode == 0;
    if (interactive) {
        if (CkCont.value() == 1) {
            out.continueDir = TQD.text();
            if (ContinuePos == 0) ContinuePos = 1;
        } else {
            out.continueDir.clear();
            ContinuePos = 0;
        }
        out.continuePos = ContinuePos;
        out.sourceFile = TQD.text();
    }
    out.wait = HS1.value();
    writeSettings(p.settings, out, interactive);

    app_.frmPic().form.unload();
    app_.frmFile().form.unload();
    app_.frmGoTo().form.unload();
    app_.frmWait().form.unload();

    p.windows.quit();
}

}  // namespace pictavo
