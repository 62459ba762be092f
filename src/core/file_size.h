#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace pictavo {

// A plain file's length in bytes, or -1 when it is missing or cannot be opened.
std::int64_t FileSize(platform::Platform& p, const std::string& path);

// Deletes the file when FileSize finds it. One that stays leaves a trace line.
void deleteIfPresent(platform::Platform& p, const std::string& path);

}  // namespace pictavo
