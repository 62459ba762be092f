#pragma once
// Drop shadow and uniform transparency through the window's class and
// extended styles.

#include "platform/window_effects.h"

namespace pictavo::platform::win32 {

class Win32Effects final : public WindowEffects {
public:
    void setShadow(NativeForm& window) override;
    void setOpacity(NativeForm& window, int opacity) override;
};

}  // namespace pictavo::platform::win32
