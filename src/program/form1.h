#pragma once
// The main window: the source, the options, the display time, Start and Exit.
// It owns the state every other window reads: the picture list, the start
// mode, the continue position, the window-effect settings and the file names.

#include "platform/form.h"
#include "program/shared_state.h"

namespace pictavo {

class App;

class Form1 {
public:
    explicit Form1(App& app);

    platform::Form form;
    MainControls controls;
    SharedState state;

private:
    void Form_Load();
    void Form_Unload();
    bool Form_KeyDown(int keyCode);
    void Cstart_Click();
    void CEnd_Click();
    void CQD_Click();
    void TQD_Change();
    void TQD_GotFocus();
    void CkSub_Click();
    void HS1_Change();
    void LKill_Click();

    App& app_;
};

}  // namespace pictavo
