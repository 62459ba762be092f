#pragma once
// The whole program on a given platform: start-up, the events of its windows,
// and shutdown. Returns when the program has ended.

#include "platform/platform.h"

namespace pictavo {

int runProgram(platform::Platform& platform);

}  // namespace pictavo
