#include "program/frm_pic.h"

#include "program/app.h"
#include "program/shared_state.h"

namespace pictavo {

namespace {
using platform::ControlKind;

const platform::Font kCaptionFont{"Comic Sans MS", 9.75, true};

platform::FormLayout layout() {
    platform::FormLayout form{.name = "FrmPic",
                            .border = platform::Border::None,
                            .keyPreview = true,
                            .backColor = platform::rgb(0, 0, 0)};
    // Topmost first: the light caption over its dark shadow over the picture.
    form.controls = {
        {.name = "LBild1", .kind = ControlKind::Label, .font = kCaptionFont,
         .foreColor = platform::rgb(208, 208, 208), .transparent = true, .autoSize = true},
        {.name = "LBild2", .kind = ControlKind::Label, .caption = "Bild", .font = kCaptionFont, .visible = false,
         .foreColor = platform::rgb(32, 32, 32), .transparent = true, .autoSize = true},
        {.name = "Image1", .kind = ControlKind::Image, .width = 15, .height = 15},
    };
    return form;
}

constexpr const char* kWaitingCaption = "Lade Bild, bitte warten ...";
constexpr double kShadowOffset = 15;
}  // namespace

FrmPic::FrmPic(App& app)
    : form(app.platform.windows, layout()),
      LBild1(form["LBild1"]),
      LBild2(form["LBild2"]),
      Image1(form["Image1"]),
      app_(app) {
    form.onLoad = [this] { Form_Load(); };
    form.onKeyPress = [this](int) { form.unload(); };
    form.onMouseDown = [this] { form.unload(); };
}

void FrmPic::Form_Load() {
    const platform::ScreenMetrics screen = app_.platform.windows.screen();
    form.move(0, 0, screen.widthPx * screen.twipsPerPixelX, screen.heightPx * screen.twipsPerPixelY);
    form.setCaption(app_.mainControls().window.caption());
}

void FrmPic::prepareCaption() {
    const SharedState& shared = app_.shared();
    LBild1.setText(kWaitingCaption);
    LBild2.setText(kWaitingCaption);
    LBild1.setVisible(true);
    LBild2.setVisible(true);
    LBild1.setTop(shared.TwipsX * 8);
    LBild1.setLeft(shared.TwipsY * 12);
    LBild2.setTop(LBild1.top() + kShadowOffset);
    LBild2.setLeft(LBild1.left() + kShadowOffset);
}

}  // namespace pictavo
