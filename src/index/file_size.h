#pragma once

#include <cstdint>
#include <string>

#include "platform/files.h"

namespace pictavo {

// A plain file's length in bytes, or -1 when it is missing or cannot be opened.
std::int64_t FileSize(platform::Files& files, const std::string& path);

}  // namespace pictavo
