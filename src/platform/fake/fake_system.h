#pragma once
// Processes and environment for tests: an environment map, a command line, a
// switch for a second instance, and child processes that run as a step of the
// window system's event processing.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_windows.h"
#include "platform/system.h"

namespace pictavo::platform::fake {

class FakeSystem final : public System {
public:
    explicit FakeSystem(FakeWindowSystem& windows) : windows_(windows) {}

    bool anotherInstanceRunning() override { return otherInstance; }
    void beep() override { ++beeps; }
    std::string commandLineArgs() override { return args; }
    std::string environment(const std::string& name) override {
        auto it = env.find(name);
        return it == env.end() ? std::string() : it->second;
    }
    std::unique_ptr<ChildProcess> startHidden(const std::string& commandLine,
                                              const EnvironmentVariables& variables) override;
    std::string oemToUtf8(const std::string& oem) override;
    std::optional<std::string> utf8ToOem(const std::string& utf8) override;
    void keepDisplayOn(bool on) override { displayRequests.push_back(on); }
    void trace(const std::string& line) override { traces.push_back(line); }

    bool otherInstance = false;
    int beeps = 0;
    std::string args;
    std::map<std::string, std::string> env;
    std::vector<std::string> started;  // command lines, in order
    EnvironmentVariables startedWith;  // the variables of the program started last
    std::vector<bool> displayRequests;  // keepDisplayOn calls, in order
    std::vector<std::string> traces;   // trace lines, in order
    // Plays the started program; null: nothing can be started.
    std::function<void(const std::string& commandLine)> program;

private:
    FakeWindowSystem& windows_;
};

}  // namespace pictavo::platform::fake
