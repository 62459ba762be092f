#pragma once
// Drop shadow and uniform transparency of a window.

namespace pictavo::platform {

class NativeForm;

class WindowEffects {
public:
    virtual ~WindowEffects() = default;
    // Adds the drop shadow to the window's class.
    virtual void setShadow(NativeForm& window) = 0;
    // Makes the window layered with this opacity (0 transparent ... 255 opaque).
    virtual void setOpacity(NativeForm& window, int opacity) = 0;
};

}  // namespace pictavo::platform
