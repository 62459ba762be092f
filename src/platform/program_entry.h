#pragma once
// What a backend's entry point starts: the whole program on the platform the
// backend made, with its start-up, the events of its windows and its
// shutdown. The program provides it; it returns when the program has ended.

#include "platform/platform.h"

namespace pictavo {

int runProgram(platform::Platform& platform);

}  // namespace pictavo
