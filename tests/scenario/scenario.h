#pragma once
// Whole-program scenarios on the in-memory backend: a script of user actions,
// a virtual clock and real files below a temporary directory.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

#include "platform/fake/fake_platform.h"
#include "platform/key_codes.h"
#include "program/app.h"
#include "program/shared_state.h"

namespace pictavo::testing {

using namespace platform::keys;

// One program on a platform of its own; tables of cases make one each.
struct Program {
    // Runs the program until the script is used up or the program ends.
    void run() {
        app = std::make_unique<App>(fake.platform());
        exitCode = app->run();
        EXPECT_FALSE(fake.windows.exhaustedInModal) << "a modal wait ran out of script";
    }

    MainControls& main() { return app->mainControls(); }
    SharedState& state() { return app->shared(); }
    platform::fake::FakeNativeForm* window(const std::string& name) { return fake.windows.find(name); }
    // A control as its window shows it. A window that is not there fails the test instead of crashing it.
    platform::fake::FakeControlState& control(const std::string& form, const std::string& name) {
        static platform::fake::FakeControlState missing;
        if (auto* shown = window(form)) return shown->control(name);
        ADD_FAILURE() << form << " is not there";
        return missing = {};
    }
    // The first texts the program gave a control ("Form.Control"), kept after its window is gone.
    std::vector<std::string> texts(const std::string& control, std::size_t count = SIZE_MAX) {
        const auto& all = fake.windows.textLog[control];
        return {all.begin(), all.begin() + static_cast<std::ptrdiff_t>(std::min(count, all.size()))};
    }

    std::string stored(const std::string& key) {
        auto it = fake.settings.values.find("Corvane\\Pictavo\\" + key);
        return it == fake.settings.values.end() ? "<missing>" : it->second;
    }
    void store(const std::string& key, const std::string& value) {
        fake.settings.values["Corvane\\Pictavo\\" + key] = value;
    }
    // Creates a file of the program's path with this content.
    void makeFile(const std::string& path, const std::string& content) {
        const auto host = fake.files.host(path);
        std::filesystem::create_directories(host.parent_path());
        std::ofstream(host, std::ios::binary) << content;
    }
    // A file that the fake picture loader reads as a PNG of this size.
    void makePicture(const std::string& path, int width, int height) {
        std::string png = "\x89PNG\r\n\x1a\n";
        png += std::string("\0\0\0\x0dIHDR", 8);
        for (int value : {width, height})
            for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((value >> shift) & 0xFF);
        makeFile(path, png);
    }
    bool fileExists(const std::string& path) { return std::filesystem::exists(fake.files.host(path)); }

    platform::fake::FakePlatform fake;
    std::unique_ptr<App> app;
    int exitCode = -1;
};

class Scenario : public ::testing::Test, public Program {};

}  // namespace pictavo::testing
