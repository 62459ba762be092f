#pragma once
// Window effects recorded on the fake windows.

#include "platform/fake/fake_windows.h"
#include "platform/window_effects.h"

namespace pictavo::platform::fake {

class FakeEffects final : public WindowEffects {
public:
    void setShadow(NativeForm& window) override { static_cast<FakeNativeForm&>(window).shadow = true; }
    void setOpacity(NativeForm& window, int opacity) override {
        auto& form = static_cast<FakeNativeForm&>(window);
        form.layered = true;
        form.opacity = opacity;
    }
};

}  // namespace pictavo::platform::fake
