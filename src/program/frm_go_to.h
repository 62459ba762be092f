#pragma once
// The go-to dialog of a running show: a picture number typed or picked with
// the scroll bar, handed back in GoToPic (empty: stay where you are).

#include "platform/form.h"

namespace pictavo {

class App;

class FrmGoTo {
public:
    explicit FrmGoTo(App& app);

    platform::Form form;
    platform::Control& GoToPic;
    platform::Control& HS1;
    platform::Control& GoToMax;

    // The true number of pictures, which the scroll bar's 16-bit range may
    // not hold; 0 means the scroll bar's maximum.
    int pictureCount = 0;

    void cOk_Click();
    void cAbbr_Click();

private:
    void Form_Load();
    void GoToPic_GotFocus();
    void HS1_Change();

    App& app_;
};

}  // namespace pictavo
