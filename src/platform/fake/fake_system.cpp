#include "platform/fake/fake_system.h"

#include "platform/utf8.h"

namespace pictavo::platform::fake {

namespace {
class FakeChild final : public ChildProcess {
public:
    explicit FakeChild(std::shared_ptr<bool> done) : done_(std::move(done)) {}
    bool running() override { return !*done_; }

private:
    std::shared_ptr<bool> done_;
};
}  // namespace

std::unique_ptr<ChildProcess> FakeSystem::startHidden(const std::string& commandLine,
                                                      const EnvironmentVariables& variables) {
    started.push_back(commandLine);
    startedWith = variables;
    if (!program) return nullptr;
    auto done = std::make_shared<bool>(false);
    windows_.post([run = program, commandLine, done] {
        run(commandLine);
        *done = true;
    });
    return std::make_unique<FakeChild>(done);
}

// The fake's OEM code page is ISO-8859-1: every byte is the code point of the
// same number.
std::string FakeSystem::oemToUtf8(const std::string& oem) {
    std::string out;
    for (unsigned char c : oem) appendUtf8(out, c);
    return out;
}

std::optional<std::string> FakeSystem::utf8ToOem(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        if (c.code > 0xFF) return std::nullopt;
        out += static_cast<char>(c.code);
        i += c.length;
    }
    return out;
}

}  // namespace pictavo::platform::fake
