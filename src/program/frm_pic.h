#pragma once
// The picture window: black, borderless, the whole screen, with the picture
// and its drop-shadowed caption.

#include "platform/form.h"

namespace pictavo {

class App;

class FrmPic {
public:
    explicit FrmPic(App& app);

    platform::Form form;
    platform::Control& LBild1;
    platform::Control& LBild2;
    platform::Control& Image1;

    // The caption labels as a show starts: a waiting text, placed near the
    // top-left corner with the shadow one pixel down and right.
    void prepareCaption();

private:
    void Form_Load();

    App& app_;
};

}  // namespace pictavo
