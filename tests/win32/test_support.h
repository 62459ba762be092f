#pragma once
// Helpers of the backend contract tests: a scratch directory and a sink that
// records what the windows report.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace pictavo::platform::win32::testing {

// A fresh directory below the system's temporary directory, removed with
// everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::string& path() const { return path_; }  // UTF-8, no trailing backslash
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

class RecordingSink final : public EventSink {
public:
    bool onEvent(const NativeEvent& event) override {
        events.push_back(event);
        return handler ? handler(event) : false;
    }
    int count(EventKind kind, int control = kFormItself - 1) const {
        int n = 0;
        for (const auto& e : events)
            if (e.kind == kind && (control == kFormItself - 1 || e.control == control)) ++n;
        return n;
    }
    const NativeEvent* last(EventKind kind) const {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == kind) return &*it;
        return nullptr;
    }

    std::vector<NativeEvent> events;
    std::function<bool(const NativeEvent&)> handler;
};

std::wstring windowText(HWND window);

}  // namespace pictavo::platform::win32::testing
