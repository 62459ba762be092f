// The search index as read back: UTF-16 or 8-bit text, split into lines, each
// tested for a picture ending.

#include "fuzz_text.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "core/scan_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static pictavo::platform::fake::FakeClock clock;
    static pictavo::platform::fake::FakeWindowSystem windows(clock);
    static pictavo::platform::fake::FakeSystem system(windows);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    pictavo::forEachIndexLine(bytes, system, [](std::string_view line) {
        pictavo::fuzz::require(line.find('\n') == std::string_view::npos);
        pictavo::isPictureLine(line);
        return true;
    });
    return 0;
}
