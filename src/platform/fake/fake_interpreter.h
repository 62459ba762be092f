#pragma once
// Plays the command interpreter for the scan: runs a batch file made of
// "@ECHO OFF", "DIR "<dir>\<pattern>" /b [/s] /on >"<file>"" and
// "DEL "<file>" >NUL" lines on the fake's files, writing the same listing the
// real DIR writes (same line forms and order, directories included).

#include <string>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_system.h"

namespace pictavo::platform::fake {

// commandLine: "<interpreter> [/U] /C "<batch file>"". With /U the listing is
// written as UTF-16LE, otherwise in the OEM code page. Variables in the batch
// lines take their values from those the program was started with.
void runInterpreter(FakeFiles& files, FakeSystem& system, const std::string& commandLine);

// The listing DIR /b [/s] /on gives for a source made of a directory and a
// file pattern, one UTF-8 line per entry.
std::vector<std::string> directoryListing(FakeFiles& files, const std::string& source, bool subdirectories);

}  // namespace pictavo::platform::fake
