#pragma once
// UTF-8 (the program's text) to UTF-16 (the window system's) and back.

#include <string>
#include <string_view>

namespace pictavo::platform::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

}  // namespace pictavo::platform::win32
