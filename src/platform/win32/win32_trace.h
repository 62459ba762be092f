#pragma once
// One line for a developer's debugger (OutputDebugStringW): how a failure
// came about that the user sees only by its outcome.

#include <string_view>

namespace pictavo::platform::win32 {

void trace(std::string_view line);

}  // namespace pictavo::platform::win32
