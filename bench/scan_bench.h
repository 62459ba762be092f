#pragma once
// Building and reading the search index, measured on any platform.

#include <string>

#include "platform/platform.h"

namespace pictavo::bench {

// Writes a kept index of `lines` pictures in `directories` directories for a
// source below `root` (a directory of the platform's), reads it through the
// real scan with the status updates and event processing it does, and prints
// the figures under `label`.
void readKeptIndex(platform::Platform& platform, const std::string& root, int lines, int directories,
                   const char* label);

// Scans `source` with a fresh index, through the command interpreter, and
// prints the seconds until the index is ready and until it has been read.
void scanFresh(platform::Platform& platform, const std::string& source, const char* label);

}  // namespace pictavo::bench
