#pragma once
// Processes and environment: single instance, beep, command line, environment
// variables, starting a program hidden, and the debugger's trace.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pictavo::platform {

class ChildProcess {
public:
    virtual ~ChildProcess() = default;
    virtual bool running() = 0;
};

// Variables a started program finds in its environment besides this program's own.
using EnvironmentVariables = std::vector<std::pair<std::string, std::string>>;

class System {
public:
    virtual ~System() = default;
    // True when another instance of the program runs; the first call claims
    // the instance for this process.
    virtual bool anotherInstanceRunning() = 0;
    virtual void beep() = 0;
    // The argument part of the command line: the text after the program's own
    // name and the blanks that follow it.
    virtual std::string commandLineArgs() = 0;
    // Empty when the variable is missing.
    virtual std::string environment(const std::string& name) = 0;
    // Starts a program without waiting, its window hidden. Null when it could
    // not be started.
    virtual std::unique_ptr<ChildProcess> startHidden(const std::string& commandLine,
                                                      const EnvironmentVariables& variables) = 0;
    // Text in the code page the command interpreter reads batch files in
    // (the OEM code page) to UTF-8, and back; nothing when a character has no
    // place in that code page.
    virtual std::string oemToUtf8(const std::string& oem) = 0;
    virtual std::optional<std::string> utf8ToOem(const std::string& utf8) = 0;
    // Keeps the display on, with no screen saver and no power-off, until it
    // is asked no more.
    virtual void keepDisplayOn(bool on) = 0;
    // One line for a debugger (OutputDebugStringW on Windows). Every failure
    // that the program goes on from leaves one.
    virtual void trace(const std::string& line) = 0;
};

}  // namespace pictavo::platform
