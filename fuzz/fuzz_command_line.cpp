// Words of the command line.

#include "core/command_line.h"
#include "fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string args(reinterpret_cast<const char*>(data), size);
    pictavo::fuzz::require(pictavo::CmdArg(args, 0).empty());
    for (int n = 1; n <= 4; ++n) {
        const std::string word = pictavo::CmdArg(args, n);
        pictavo::fuzz::require(word.size() <= args.size() && word.find('"') == std::string::npos);
    }
    return 0;
}
