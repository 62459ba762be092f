#include "program/app.h"

#include "platform/program_entry.h"
#include "program/form1.h"
#include "program/frm_file.h"
#include "program/frm_go_to.h"
#include "program/frm_pic.h"
#include "program/frm_run_now.h"
#include "program/frm_wait.h"

namespace pictavo {

namespace {
constexpr const char* kNoMainWindow = "Pictavo konnte sein Hauptfenster nicht öffnen und wird beendet.";
constexpr int kFailed = 1;
}  // namespace

App::App(platform::Platform platform) : platform(platform), form1_(std::make_unique<Form1>(*this)),
      frmRunNow_(std::make_unique<FrmRunNow>(*this)),
      frmPic_(std::make_unique<FrmPic>(*this)),
      frmWait_(std::make_unique<FrmWait>(*this)),
      frmGoTo_(std::make_unique<FrmGoTo>(*this)),
      frmFile_(std::make_unique<FrmFile>(*this)) {}

App::~App() = default;

MainControls& App::mainControls() { return form1_->controls; }

SharedState& App::shared() { return form1_->state; }

int App::run() {
    form1_->form.load();
    // Only a second instance ends at once, and on purpose; without a main
    // window the program has nothing to show and must not just vanish.
    if (!form1_->form.loaded() && !platform.windows.quitting()) {
        platform.windows.messageBox(kNoMainWindow, "FEHLER:");
        return kFailed;
    }
    platform.windows.runLoop(nullptr, [this] { return form1_->form.loaded(); });
    return 0;
}

int runProgram(platform::Platform& platform) {
    App app(platform);
    return app.run();
}

}  // namespace pictavo
