#include "index/run_now.h"

#include "index/scan.h"
#include "shell/app.h"
#include "shell/form1.h"

namespace pictavo {

void RunNow(App& app) {
    Form1& main = app.form1();
    PicListState& list = main.list;
    main.TQD.setEnabled(false);
    main.CQD.setEnabled(false);
    main.Cstart.setEnabled(false);
    list.PicPos = 0;
    list.PicCount = 0;

    const std::string source = main.TQD.text();
    if (source.find('.') == std::string::npos)
        main.TQD.setText(source + (!source.empty() && source.back() == '\\' ? "*.*" : "\\*.*"));

    if (main.CkCont.value() == 1 && main.ContinuePos > 0) list.PicPos = main.ContinuePos;
    main.Lpic.setText(std::to_string(list.PicPos) + " / " + std::to_string(list.PicCount));
    main.Lpic.refresh();
    main.AllRefresh();

    if (list.CachedCount == 0) {
        ReadDir(app);
        if (app.platform.windows.quitting()) return;
        list.CachedCount = list.PicCount;
    } else {
        list.PicCount = list.CachedCount;
    }

    list.PicCount = 0;
    main.TQD.setEnabled(true);
    main.CQD.setEnabled(true);
    main.Cstart.setEnabled(true);
    main.Cstart.setFocus();
}

}  // namespace pictavo
