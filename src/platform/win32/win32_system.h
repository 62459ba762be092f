#pragma once
// Processes and environment on Windows.

#include "platform/system.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

class Win32System final : public System {
public:
    bool anotherInstanceRunning() override;
    void beep() override;
    std::string commandLineArgs() override;
    std::string environment(const std::string& name) override;
    std::unique_ptr<ChildProcess> startHidden(const std::string& commandLine,
                                              const EnvironmentVariables& variables) override;
    std::string oemToUtf8(const std::string& oem) override;
    std::optional<std::string> utf8ToOem(const std::string& utf8) override;
    void keepDisplayOn(bool on) override;
    void trace(const std::string& line) override;

private:
    unique_handle instanceMutex_;
    bool instanceChecked_ = false;
    bool otherInstance_ = false;
};

// The argument part of a full command line as Windows passes it to a program:
// the text after the program's name (quoted or not) and the blanks after it.
std::wstring argumentsOf(const std::wstring& commandLine);

}  // namespace pictavo::platform::win32
