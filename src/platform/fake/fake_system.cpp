#include "platform/fake/fake_system.h"

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

std::unique_ptr<ChildProcess> FakeSystem::startHidden(const std::string& commandLine) {
    started.push_back(commandLine);
    if (!program) return nullptr;
    auto done = std::make_shared<bool>(false);
    windows_.post([run = program, commandLine, done] {
        run(commandLine);
        *done = true;
    });
    return std::make_unique<FakeChild>(done);
}

// The fake's 8-bit code page is ISO-8859-1: every byte is the code point of
// the same number.
std::string FakeSystem::ansiToUtf8(const std::string& ansi) {
    std::string out;
    for (unsigned char c : ansi) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string FakeSystem::utf8ToAnsi(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        if (i + static_cast<std::size_t>(length) > utf8.size()) length = 1;
        if (length == 1) {
            out += c < 0x80 ? static_cast<char>(c) : '?';
        } else if (length == 2) {
            const int code = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            out += code < 256 ? static_cast<char>(code) : '?';
        } else {
            out += '?';
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

}  // namespace pictavo::platform::fake
