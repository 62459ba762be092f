#pragma once
// Drop shadow and transparency for the main window and the dialogs.

#include "platform/form.h"

namespace pictavo {

class App;

void SetShadow(App& app, platform::Form& window);
// Opacity is 255 minus the level, the level held within 0 ... 255.
void SetTransp(App& app, platform::Form& window, double level);
// What every window that takes the effects does while it loads: the shadow
// when the main window's Shadow is not 0, then the transparency when its
// Transp is not 0.
void applyWindowEffects(App& app, platform::Form& window);

// 255 minus the level, rounded half to even, within 0 ... 255.
int opacityFor(double level);

}  // namespace pictavo
