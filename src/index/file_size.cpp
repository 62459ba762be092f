#include "index/file_size.h"

namespace pictavo {

std::int64_t FileSize(platform::Files& files, const std::string& path) {
    try {
        return files.fileSize(path);
    } catch (...) {
        return -1;
    }
}

}  // namespace pictavo
