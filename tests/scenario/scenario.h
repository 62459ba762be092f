#pragma once
// Whole-program scenarios on the in-memory backend: a script of user actions,
// a virtual clock and real files below a temporary directory.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/fake/fake_platform.h"
#include "shell/app.h"
#include "shell/form1.h"

namespace pictavo::testing {

class Scenario : public ::testing::Test {
protected:
    // Runs the program until the script is used up or the program ends.
    void run() {
        app = std::make_unique<App>(fake.platform());
        exitCode = app->run();
        EXPECT_FALSE(fake.windows.exhaustedInModal) << "a modal wait ran out of script";
    }

    Form1& main() { return app->form1(); }
    platform::fake::FakeNativeForm* window(const std::string& name) { return fake.windows.find(name); }

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

}  // namespace pictavo::testing
