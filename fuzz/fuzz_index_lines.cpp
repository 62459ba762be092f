// The search index as read back: UTF-16 or 8-bit text, split into lines, each
// tested for a picture ending.

#include "fuzz_text.h"
#include "index/scan.h"
#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static pictavo::platform::fake::FakeClock clock;
    static pictavo::platform::fake::FakeWindowSystem windows(clock);
    static pictavo::platform::fake::FakeSystem system(windows);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const std::string& line : pictavo::indexLines(bytes, system)) {
        pictavo::fuzz::require(line.find('\n') == std::string::npos);
        pictavo::isPictureLine(line);
    }
    return 0;
}
