#include "program/disp_pic.h"

#include "platform/picture_fit.h"
#include "program/app.h"
#include "program/frm_pic.h"
#include "program/frm_wait.h"
#include "program/shared_state.h"

namespace pictavo {

namespace {
constexpr const char* kBrokenPicture = "FEHLER: BILD DEFEKT ODER UNGÜLTIGES FORMAT !!!";

struct Awaited {
    bool aborted = false;
    bool waitEnded = false;     // the display time ran out meanwhile
    std::vector<int> keptKeys;  // typed meanwhile, to act once the picture is there
};

// Takes keys while the picture is being decoded, so that a slow picture never
// freezes the show: Esc ends the show without it, other keys are kept for
// when it is on the screen.
Awaited awaitPicture(App& app, const std::string& path) {
    platform::Platform& p = app.platform;
    auto ready = [&p, &path] { return p.pictures.ready(path, [&windows = p.windows] { windows.wake(); }); };
    if (ready()) return {};
    FrmWait& wait = app.frmWait();
    // The first picture's display time starts when it is on the screen,
    // where the waiting window is loaded afresh.
    const bool firstWait = !wait.form.loaded();
    wait.beginDecodeWait();
    wait.form.showModal(&app.frmPic().form, ready);
    Awaited awaited;
    awaited.keptKeys = wait.endDecodeWait(!firstWait);
    awaited.aborted = p.windows.quitting() || wait.Ck.value() == 1;
    if (awaited.aborted) return awaited;
    if (firstWait)
        wait.form.unload();
    else
        awaited.waitEnded = !wait.form.visibleNow();
    return awaited;
}

// A scan without subdirectories lists bare names; they lie in the source's
// directory, not in the program's current one.
std::string pathToLoad(App& app, const std::string& QD) {
    if (QD.find('\\') != std::string::npos || QD.find(':') != std::string::npos) return QD;
    return directoryPart(app.mainControls().TQD.text()) + QD;
}
}  // namespace

void placeFitted(platform::Control& image, std::shared_ptr<const platform::Picture> picture, float sw, float sh) {
    image.setStretch(false);
    image.setTop(0);
    image.setLeft(0);
    image.setWidth(1);
    image.setHeight(1);
    image.setPicture(std::move(picture));
    image.setStretch(true);
    const platform::FittedSize fitted =
        platform::fitToScreen(static_cast<float>(image.width()), static_cast<float>(image.height()), sw, sh);
    image.setHeight(fitted.height);
    image.setWidth(fitted.width);
    image.setTop(sh / 2 - fitted.height / 2);
    image.setLeft(sw / 2 - fitted.width / 2);
}

void DispPic(App& app, const std::string& QD, std::string& TextOut, const std::vector<std::string>& ahead) {
    MainControls& main = app.mainControls();
    FrmPic& pic = app.frmPic();
    platform::Platform& p = app.platform;

    const platform::ScreenMetrics screen = p.windows.screen();
    const float sw = static_cast<float>(screen.widthPx * screen.twipsPerPixelX);
    const float sh = static_cast<float>(screen.heightPx * screen.twipsPerPixelY);
    p.windows.setCursorPos(static_cast<int>(sw), static_cast<int>(sh));

    // The window may have been closed by its own key or mouse handler between
    // two pictures; the show must not go on invisibly.
    if (!pic.form.visibleNow()) {
        pic.form.show();
        if (main.CkDisp.value() == 1) pic.prepareCaption();
    }

    main.Linfo.setText("Lade Bild ...");
    main.Linfo.refresh();
    // This picture first, then the ones the keys lead to: what the loader
    // held for this picture before stays held, and whatever else it was
    // doing gives way.
    const std::string path = pathToLoad(app, QD);
    std::vector<std::string> wanted{path};
    for (const std::string& next : ahead) wanted.push_back(pathToLoad(app, next));
    p.pictures.prefetch(std::move(wanted));
    Awaited awaited = awaitPicture(app, path);
    if (awaited.aborted) {
        main.Linfo.setText("");
        main.Linfo.refresh();
        return;
    }
    const std::shared_ptr<const platform::Picture> picture = p.pictures.load(path);

    if (picture) {
        if (main.CkDisp.value() == 1) {
            pic.LBild1.setVisible(false);
            pic.LBild2.setVisible(false);
        }
        pic.Image1.setVisible(false);
        placeFitted(pic.Image1, picture, sw, sh);
    } else {
        p.system.trace("picture not loaded: " + path);
        pic.Image1.setPicture(nullptr);
        TextOut += "\r";
        TextOut += kBrokenPicture;
        pic.Image1.setStretch(true);
    }
    pic.Image1.setVisible(true);

    if (main.CkDisp.value() == 1) {
        pic.LBild1.setText(TextOut);
        pic.LBild2.setText(pic.LBild1.text());
        pic.LBild1.setVisible(true);
        pic.LBild2.setVisible(true);
        pic.LBild1.refresh();
    }

    // The waiting window has no size: the picture window holds the activation
    // in its place, so that keys reach the wait whichever of the two the
    // desktop activates.
    // Wine: X gives no window of no size the focus.
    FrmWait& wait = app.frmWait();
    p.windows.typeAhead(std::move(awaited.keptKeys));
    if (awaited.waitEnded)
        wait.form.hide();
    else
        wait.form.showModal(&pic.form);
    main.Linfo.setText("");
    main.Linfo.refresh();
}

}  // namespace pictavo
