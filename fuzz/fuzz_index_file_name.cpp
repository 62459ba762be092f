// The search index's file name for any source and temporary directory.

#include "core/index_file_name.h"
#include "fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> in = pictavo::fuzz::texts(data, size, 3);
    const std::string name = pictavo::indexFileName(in[0], in[1], in[2]);
    const std::string directory = pictavo::temporaryDirectory(in[1], in[2]);
    pictavo::fuzz::require(name.compare(0, directory.size(), directory) == 0);
    const std::string file = name.substr(directory.size());
    pictavo::fuzz::require(file.find_first_of("<>|\"/\\*?") == std::string::npos);
    pictavo::indexKey(in[0]);
    return 0;
}
