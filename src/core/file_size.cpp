#include "core/file_size.h"

#include <system_error>

namespace pictavo {

std::int64_t FileSize(platform::Platform& p, const std::string& path) {
    // A file system may report a failure by throwing; to the program that is
    // a file it cannot open.
    try {
        return p.files.fileSize(path);
    } catch (const std::system_error& error) {
        p.system.trace("size of " + path + " not read: " + error.what());
        return -1;
    }
}

void deleteIfPresent(platform::Platform& p, const std::string& path) {
    if (FileSize(p, path) > -1 && !p.files.deleteFile(path)) p.system.trace(path + " not deleted");
}

}  // namespace pictavo
