#pragma once
// The invisible window that does the waiting during a show: shown modally
// after each picture, it holds the keyboard and a free-running one-second
// timer, and hides itself when the display time is over or a navigation key
// was pressed, leaving flags behind for the presentation loop.

#include <vector>

#include "platform/form.h"

namespace pictavo {

class App;

class FrmWait {
public:
    explicit FrmWait(App& app);

    platform::Form form;
    platform::Control& Ck;   // abort
    platform::Control& Ck2;  // automatic advance paused
    platform::Control& Ck3;  // previous picture
    platform::Control& Ck4;  // previous directory
    platform::Control& Ck5;  // next directory
    platform::Control& Ck6;  // go-to dialog

    int TickCount = 0;
    int TickLimit = 0;

    void Form_KeyDown(int KC);
    void Timer1_Timer();

    // While a picture is being decoded the window keeps the keys it gets
    // instead of acting on them, so that they can be typed again, in their
    // order, once the picture is on the screen. Esc ends the show at once,
    // unless a kept G has asked for the go-to dialog, which it then closes. Its ticks are held as the system holds the timer
    // messages of a busy program: at most one, handled at the end of the
    // decode when countHeldTick says so.
    void beginDecodeWait();
    std::vector<int> endDecodeWait(bool countHeldTick);

private:
    void Form_Load();
    bool answersGoTo() const;

    App& app_;
    bool decoding_ = false;
    bool tickHeld_ = false;
    std::vector<int> keptKeys_;
};

}  // namespace pictavo
