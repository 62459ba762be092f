// The number typed into the go-to dialog: its leading number, and that
// number written as text and read back.

#include <cmath>

#include "core/settings.h"
#include "fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = pictavo::leadingNumber(text);
    pictavo::fuzz::require(!std::isnan(value));
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        const double back = pictavo::leadingNumber(pictavo::numberText(value));
        pictavo::fuzz::require(std::fabs(back - value) <= 1e-6 * std::max(1.0, std::fabs(value)));
    }
    return 0;
}
