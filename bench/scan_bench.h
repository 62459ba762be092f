#pragma once
// Reading a kept search index into the picture list, measured on any platform.

#include "platform/platform.h"

namespace pictavo::bench {

// Writes a kept index of `lines` pictures in `directories` directories for a
// source below `root` (a directory of the platform's), reads it through the
// real scan with the status updates and event processing it does, and prints
// the figures under `label`.
void readKeptIndex(platform::Platform& platform, const std::string& root, int lines, int directories,
                   const char* label);

}  // namespace pictavo::bench
