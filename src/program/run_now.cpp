#include "program/run_now.h"

#include "program/app.h"
#include "program/frm_pic.h"
#include "program/frm_run_now.h"
#include "program/frm_wait.h"
#include "program/scan.h"
#include "program/shared_state.h"
#include "program/start.h"

namespace pictavo {

void RunNow(App& app) {
    MainControls& main = app.mainControls();
    SharedState& shared = app.shared();
    PicListState& list = shared.list;
    platform::WindowSystem& windows = app.platform.windows;
    const bool automatic = shared.startMode == StartMode::Automatic;

    app.frmWait().form.unload();
    // The picture decoder starts while the pictures are listed.
    app.platform.pictures.prepare();
    main.TQD.setEnabled(false);
    main.CQD.setEnabled(false);
    main.Cstart.setEnabled(false);
    list.PicPos = 0;
    list.PicCount = 0;

    const std::string source = main.TQD.text();
    if (source.find('.') == std::string::npos)
        main.TQD.setText(source + (!source.empty() && source.back() == '\\' ? "*.*" : "\\*.*"));

    if (automatic) {
        FrmRunNow& progress = app.frmRunNow();
        progress.form.show();
        progress.form.setCaption(main.window.caption());
        progress.form.refresh();
    } else if (main.CkCont.value() == 1 && shared.ContinuePos > 0) {
        list.PicPos = shared.ContinuePos;
    }
    main.Lpic.setText(std::to_string(list.PicPos) + " / " + std::to_string(list.PicCount));
    main.Lpic.refresh();
    main.AllRefresh();

    if (list.CachedCount == 0) {
        ReadDir(app);
        if (windows.quitting()) return;
        list.CachedCount = list.PicCount;
    } else {
        list.PicCount = list.CachedCount;
    }
    if (list.PicPos == list.PicCount && main.CkLoop.value() == 0) {
        shared.ContinuePos = 1;
        list.PicPos = 1;
    }
    main.AllRefresh();
    if (automatic) app.frmRunNow().form.unload();

    FrmPic& pic = app.frmPic();
    pic.form.show();
    if (main.CkDisp.value() == 1) pic.prepareCaption();
    pic.form.refresh();

    Start(app);
    if (windows.quitting()) return;

    list.PicCount = 0;
    pic.form.unload();
    app.platform.pictures.prefetch({});
    main.TQD.setEnabled(true);
    main.CQD.setEnabled(true);
    main.Cstart.setEnabled(true);
    main.Cstart.setFocus();
}

}  // namespace pictavo
