#include "index/list_procedures.h"

#include "index/file_size.h"
#include "dialogs/frm_run_now.h"
#include "index/index_file_name.h"
#include "shell/app.h"
#include "shell/form1.h"

namespace pictavo {

void TempStr(App& app) {
    Form1& main = app.form1();
    platform::System& system = app.platform.system;
    main.IndexFile = indexFileName(main.TQD.text(), system.environment("TMP"), system.environment("TEMP"));
}

void AddPic(App& app, const std::string& path, int& count) {
    Form1& main = app.form1();
    main.list.addPicture(path, count);
    if (main.StartMode < 2) {
        main.Lpic.setText(main.list.PicStatus);
        main.Lpic.refresh();
    } else {
        const std::string& status = main.list.PicStatus;
        FrmRunNow& progress = app.frmRunNow();
        progress.Lpic.setText("Bilder: " + (status.size() > 2 ? status.substr(2) : std::string()));
        progress.Lpic.refresh();
    }
}

void DelFile(App& app) {
    Form1& main = app.form1();
    if (FileSize(app.platform.files, main.IndexFile) > -1) app.platform.files.deleteFile(main.IndexFile);
    main.LKill.setVisible(false);
    main.list.PicCount = 0;
    main.list.PicPos = 0;
    main.ContinuePos = 0;
    main.list.CachedCount = 0;
    main.Lpic.setText("0 / 0");
}

}  // namespace pictavo
