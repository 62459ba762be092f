#include "platform/fake/fake_platform.h"

#include "platform/fake/fake_interpreter.h"
#include <atomic>
#include <string>
#include <chrono>
#include <system_error>

namespace pictavo::platform::fake {

namespace {
std::filesystem::path freshRoot() {
    static std::atomic<int> counter{0};
    auto dir = std::filesystem::temp_directory_path() /
               ("pictavo-fake-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
                std::to_string(counter++));
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    std::filesystem::create_directories(dir, ec);
    return dir;
}
}  // namespace

FakePlatform::FakePlatform() : files(freshRoot()) {
    std::error_code ec;
    std::filesystem::create_directories(files.host("C:\\TEMP"), ec);
    system.env["TMP"] = "C:\\TEMP";
    system.env["COMSPEC"] = "C:\\WINDOWS\\system32\\cmd.exe";
    system.program = [this](const std::string& commandLine) { runInterpreter(files, system, commandLine); };
}

FakePlatform::~FakePlatform() {
    std::error_code ec;
    std::filesystem::remove_all(files.root(), ec);
}

}  // namespace pictavo::platform::fake
