#include "index/run_now.h"

#include "shell/app.h"
#include "shell/form1.h"

namespace pictavo {

void RunNow(App& app) {
    Form1& main = app.form1();
    main.TQD.setEnabled(false);
    main.CQD.setEnabled(false);
    main.Cstart.setEnabled(false);

    main.TQD.setEnabled(true);
    main.CQD.setEnabled(true);
    main.Cstart.setEnabled(true);
    main.Cstart.setFocus();
}

}  // namespace pictavo
