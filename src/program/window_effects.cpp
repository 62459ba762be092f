#include "program/window_effects.h"

#include <algorithm>
#include <cmath>

#include "program/app.h"
#include "program/shared_state.h"

namespace pictavo {

int opacityFor(double level) {
    if (std::isnan(level)) level = 0;
    const double opacity = 255.0 - std::clamp(level, 0.0, 255.0);
    return static_cast<int>(std::nearbyint(opacity));
}

void SetShadow(App& app, platform::Form& window) {
    if (auto* native = window.native()) app.platform.effects.setShadow(*native);
}

void SetTransp(App& app, platform::Form& window, double level) {
    if (auto* native = window.native()) app.platform.effects.setOpacity(*native, opacityFor(level));
}

void applyWindowEffects(App& app, platform::Form& window) {
    const SharedState& shared = app.shared();
    if (shared.Shadow != 0) SetShadow(app, window);
    if (shared.Transp != 0) SetTransp(app, window, shared.Transp);
}

}  // namespace pictavo
