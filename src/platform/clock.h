#pragma once
// The time of day, and a short pause for polling loops.

#include <string>

namespace pictavo::platform {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::string timeOfDay() = 0;  // "HH:MM:SS"
    virtual void pause(int milliseconds) = 0;
};

}  // namespace pictavo::platform
