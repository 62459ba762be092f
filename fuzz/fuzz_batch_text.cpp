// The batch file for any source and file names that pass the check: always
// three lines.

#include <algorithm>

#include "fuzz_text.h"
#include "core/scan_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> in = pictavo::fuzz::texts(data, size, 3);
    const bool subdirectories = size > 0 && (data[0] & 1);
    const std::string text = pictavo::batchFileText(in[0], subdirectories, in[1], in[2]);
    if (pictavo::safeInBatchLine(in[0]) && pictavo::safeInBatchLine(in[1]) && pictavo::safeInBatchLine(in[2])) {
        pictavo::fuzz::require(std::count(text.begin(), text.end(), '\n') == 3);
        pictavo::fuzz::require(std::count(text.begin(), text.end(), '\r') == 3);
    }
    return 0;
}
