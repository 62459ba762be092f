#pragma once
// Local time of day, and a pause that wakes for input.

#include "platform/clock.h"

namespace pictavo::platform::win32 {

class Win32Clock final : public Clock {
public:
    std::string timeOfDay() override;
    void pause(int milliseconds) override;
};

}  // namespace pictavo::platform::win32
