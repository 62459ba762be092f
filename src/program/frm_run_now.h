#pragma once
// The progress window of an automatic start: it stands in for the main
// window's status labels while the list is built, and closing it by hand ends
// the program.

#include "platform/form.h"

namespace pictavo {

class App;

class FrmRunNow {
public:
    explicit FrmRunNow(App& app);

    platform::Form form;
    platform::Control& Linfo;
    platform::Control& Lpic;

private:
    void Form_Load();
    bool Form_QueryUnload();

    App& app_;
};

}  // namespace pictavo
