#pragma once
// The program's windows and the platform they run on. Each window exists at
// most once and is reached through here by name.

#include <memory>

#include "platform/platform.h"

namespace pictavo {

class Form1;
class FrmFile;
class FrmGoTo;
class FrmPic;
class FrmRunNow;
class FrmWait;
struct MainControls;
struct SharedState;

class App {
public:
    explicit App(platform::Platform platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Loads the main window (the start-up sequence) and dispatches events
    // until the program ends. Returns the exit code: 0, or 1 when the main
    // window could not be opened (the user has been told).
    int run();

    platform::Platform platform;
    Form1& form1() { return *form1_; }
    // What the main window shares with the other windows.
    MainControls& mainControls();
    SharedState& shared();
    FrmRunNow& frmRunNow() { return *frmRunNow_; }
    FrmPic& frmPic() { return *frmPic_; }
    FrmWait& frmWait() { return *frmWait_; }
    FrmGoTo& frmGoTo() { return *frmGoTo_; }
    FrmFile& frmFile() { return *frmFile_; }

private:
    std::unique_ptr<Form1> form1_;
    std::unique_ptr<FrmRunNow> frmRunNow_;
    std::unique_ptr<FrmPic> frmPic_;
    std::unique_ptr<FrmWait> frmWait_;
    std::unique_ptr<FrmGoTo> frmGoTo_;
    std::unique_ptr<FrmFile> frmFile_;
};

}  // namespace pictavo
