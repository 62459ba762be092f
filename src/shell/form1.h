#pragma once
// The main window: the source, the options, the display time, Start and Exit.
// It owns the state every other window reads: the picture list, the start
// mode, the continue position, the window-effect settings and the file names.

#include <string>

#include "index/pic_list.h"
#include "platform/form.h"

namespace pictavo {

class App;

class Form1 {
public:
    explicit Form1(App& app);

    platform::Form form;

    // 0 interactive, 1 source from the command line, 2 automatic start.
    int StartMode = 0;
    int ContinuePos = 0;
    double Transp = 0;
    double Shadow = 1;
    double TwipsX = 15;
    double TwipsY = 15;
    std::string BatchFile;
    std::string IndexFile;
    PicListState list;

    platform::Control& TQD;
    platform::Control& CQD;
    platform::Control& CkSub;
    platform::Control& CkDisp;
    platform::Control& CkLoop;
    platform::Control& CkIndex;
    platform::Control& LKill;
    platform::Control& Linfo;
    platform::Control& HS1;
    platform::Control& Lsek;
    platform::Control& Cstart;
    platform::Control& CEnd;
    platform::Control& CkCont;
    platform::Control& Lpic;

    // Repaints the whole window at once.
    void AllRefresh();

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
