#pragma once
// Virtual clock: time moves only when the program pauses or the script lets a
// second pass.

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/clock.h"

namespace pictavo::platform::fake {

class FakeClock final : public Clock {
public:
    std::string timeOfDay() override {
        const std::int64_t seconds = (startSeconds + nowMs / 1000) % 86400;
        char text[16];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
        return text;
    }
    void pause(int milliseconds) override { nowMs += milliseconds > 0 ? milliseconds : 0; }
    void advance(int milliseconds) { nowMs += milliseconds; }

    std::int64_t nowMs = 0;
    std::int64_t startSeconds = 12 * 3600;
};

}  // namespace pictavo::platform::fake
