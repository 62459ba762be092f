#include "program/list_procedures.h"

#include "core/file_size.h"
#include "core/index_file_name.h"
#include "program/app.h"
#include "program/frm_run_now.h"
#include "program/shared_state.h"

namespace pictavo {

void TempStr(App& app) {
    platform::System& system = app.platform.system;
    app.shared().IndexFile =
        indexFileName(app.mainControls().TQD.text(), system.environment("TMP"), system.environment("TEMP"));
}

void AddPic(App& app, std::string_view path, int& count) {
    PicListState& list = app.shared().list;
    list.addPicture(path, count);
    if (app.shared().startMode != StartMode::Automatic) {
        platform::Control& Lpic = app.mainControls().Lpic;
        Lpic.setText(list.PicStatus);
        Lpic.refresh();
    } else {
        const std::string& status = list.PicStatus;
        FrmRunNow& progress = app.frmRunNow();
        progress.Lpic.setText("Bilder: " + (status.size() > 2 ? status.substr(2) : std::string()));
        progress.Lpic.refresh();
    }
}

void DelFile(App& app) {
    SharedState& shared = app.shared();
    MainControls& main = app.mainControls();
    deleteIfPresent(app.platform, shared.IndexFile);
    main.LKill.setVisible(false);
    shared.list.PicCount = 0;
    shared.list.PicPos = 0;
    shared.ContinuePos = 0;
    shared.list.CachedCount = 0;
    main.Lpic.setText("0 / 0");
}

}  // namespace pictavo
