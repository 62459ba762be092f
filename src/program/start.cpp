#include "program/start.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/file_size.h"
#include "core/navigation.h"
#include "core/settings.h"
#include "program/app.h"
#include "program/disp_pic.h"
#include "program/frm_go_to.h"
#include "program/frm_pic.h"
#include "program/frm_wait.h"
#include "program/shared_state.h"

namespace pictavo {

namespace {

constexpr int kScrollBarLimit = 32767;

// Opens the go-to dialog and returns the position the show goes on from.
int askForPicture(App& app, int position) {
    const int count = app.shared().list.PicCount;
    FrmGoTo& dialog = app.frmGoTo();
    dialog.form.hide();
    dialog.form.setCaption(app.mainControls().window.caption());
    dialog.pictureCount = count;
    dialog.HS1.setMin(1);
    dialog.HS1.setMax(std::min(count, kScrollBarLimit));
    dialog.HS1.setValue(std::min(position, kScrollBarLimit));
    dialog.GoToMax.setText("/ " + std::to_string(count));
    // In front of the picture window.
    // Wine: a window manager keeps a full-screen window above the windows it does not own.
    dialog.form.showModal(&app.frmPic().form);
    const std::string answer = dialog.GoToPic.text();
    if (!answer.empty()) {
        const double chosen = std::nearbyint(leadingNumber(answer));
        const int target = static_cast<int>(std::clamp(chosen, 1.0, static_cast<double>(count)));
        if (target != position) position = target;
    }
    dialog.form.unload();
    return position;
}

// The paths of the pictures the keys lead to from this one, the likeliest first.
std::vector<std::string> pathsAhead(App& app, int position, int directory) {
    const PicListState& list = app.shared().list;
    std::vector<std::string> paths;
    for (int k : picturesAhead(list, position, directory, app.mainControls().CkLoop.value() == 1))
        if (const auto entry = list.entry(k)) paths.push_back(entry->path);
    return paths;
}

// Keeps the display on from the first picture until the show ends, whichever
// way it ends: a show outlasts a screen saver's and the display's timeouts.
class DisplayKeptOn {
public:
    explicit DisplayKeptOn(platform::System& system) : system_(system) { system_.keepDisplayOn(true); }
    DisplayKeptOn(const DisplayKeptOn&) = delete;
    DisplayKeptOn& operator=(const DisplayKeptOn&) = delete;
    ~DisplayKeptOn() { system_.keepDisplayOn(false); }

private:
    platform::System& system_;
};

}  // namespace

void Start(App& app) {
    MainControls& main = app.mainControls();
    SharedState& shared = app.shared();
    PicListState& list = shared.list;
    platform::Platform& p = app.platform;

    std::string path;
    int directory = 0;
    const std::string loopMark = main.CkLoop.value() == 1 ? " ~" : "";
    bool deleteIndex = false;

    const bool automatic = shared.startMode == StartMode::Automatic;
    const bool resume = main.CkCont.value() == 1 && shared.ContinuePos > 0 && !automatic;
    list.PicPos = resume ? shared.ContinuePos : 1;
    // A stored position may be beyond a list that has shrunk since.
    if (list.PicPos > list.PicCount) list.PicPos = 1;

    if (list.PicCount <= 0) {
        p.windows.messageBox("Keine Bilder gefunden!", "FEHLER:");
        main.LKill.setVisible(false);
        deleteIndex = true;
    } else {
        main.window.hide();
        const DisplayKeptOn displayOn(p.system);
        for (;;) {
            if (const auto entry = list.entry(list.PicPos)) {
                path = entry->path;
                directory = entry->dir;
            }
            const std::string number = std::to_string(list.PicPos);
            const std::string count = std::to_string(list.PicCount);
            main.Lpic.setText(number + " / " + count);
            main.Lpic.refresh();
            std::string caption = path + " [" + number + "/" + count + "]" + loopMark;

            DispPic(app, path, caption, pathsAhead(app, list.PicPos, directory));
            if (p.windows.quitting()) return;
            main.AllRefresh();
            main.Linfo.refresh();
            main.Lpic.refresh();

            FrmWait& wait = app.frmWait();
            if (wait.Ck6.value() == 1) {
                wait.Ck4.setValue(0);
                const int paused = wait.Ck2.value();
                wait.form.unload();
                list.PicPos = askForPicture(app, list.PicPos);
                if (p.windows.quitting()) return;
                wait.form.load();
                wait.Ck2.setValue(paused);
                list.PicPos = list.PicPos - 1;
            }
            if (wait.Ck4.value() == 1) {
                wait.Ck4.setValue(0);
                list.PicPos = directoryStart(list, previousDirectory(list, directory)) - 1;
            }
            if (wait.Ck5.value() == 1) {
                wait.Ck5.setValue(0);
                list.PicPos = directoryStart(list, nextDirectory(list, directory)) - 1;
            }
            if (wait.Ck3.value() == 1) {
                wait.Ck3.setValue(0);
                if (--list.PicPos < 1) list.PicPos = list.PicCount;
            } else if (++list.PicPos > list.PicCount) {
                if (main.CkLoop.value() != 1) break;
                list.PicPos = 1;
            }
            if (wait.Ck.value() == 1) {
                app.frmPic().form.unload();
                wait.form.unload();
                break;
            }
            if (main.CkLoop.value() == 1 && list.PicPos > list.PicCount) list.PicPos = 1;
            shared.ContinuePos = list.PicPos;
            p.windows.doEvents();
            if (p.windows.quitting()) return;
        }
    }

    if (deleteIndex) deleteIfPresent(p, shared.IndexFile);
    main.Linfo.setText("");
    main.Linfo.refresh();
    if (automatic) {
        main.window.unload();
        return;
    }
    main.window.show();
}

}  // namespace pictavo
