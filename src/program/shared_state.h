#pragma once
// What the main window owns and the other windows share: the picture list
// and the values around it, and the main window's option controls and status
// labels, which the run control, the scan, the loop and the dialogs read and
// write directly, as the user sees them.

#include <string>

#include "core/pic_list.h"
#include "platform/form.h"

namespace pictavo {

// How the program was started; the values are those the start-up sequence
// has always used.
enum class StartMode { Interactive = 0, CommandLineSource = 1, Automatic = 2 };

struct SharedState {
    StartMode startMode = StartMode::Interactive;
    int ContinuePos = 0;  // picture to continue from, 0 = none
    double Transp = 0;
    double Shadow = 1;
    double TwipsX = 15;  // the screen's twips per pixel
    double TwipsY = 15;
    std::string BatchFile;
    std::string IndexFile;
    PicListState list;
};

struct MainControls {
    platform::Form& window;
    platform::Control& TQD;
    platform::Control& CQD;
    platform::Control& Cstart;
    platform::Control& CkSub;
    platform::Control& CkDisp;
    platform::Control& CkLoop;
    platform::Control& CkIndex;
    platform::Control& CkCont;
    platform::Control& HS1;
    platform::Control& LKill;
    platform::Control& Linfo;
    platform::Control& Lpic;

    // Repaints the whole main window at once.
    void AllRefresh() { window.refresh(); }
};

}  // namespace pictavo
