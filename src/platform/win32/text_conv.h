#pragma once
// UTF-8 (the program's text) to UTF-16 (the window system's) and back.

#include <string>
#include <string_view>

namespace pictavo::platform::win32 {

std::wstring widen(std::string_view utf8);
// Text in a Windows code page (CP_OEMCP, CP_ACP, ...) to UTF-16.
std::wstring fromCodePage(unsigned codePage, std::string_view text);
std::string narrow(std::wstring_view utf16);

}  // namespace pictavo::platform::win32
