#include "platform/win32/win32_trace.h"

#include <windows.h>

#include <string>

#include "platform/win32/text_conv.h"

namespace pictavo::platform::win32 {

void trace(std::string_view line) {
    const std::wstring text = L"Pictavo: " + widen(line) + L"\n";
    OutputDebugStringW(text.c_str());
}

}  // namespace pictavo::platform::win32
