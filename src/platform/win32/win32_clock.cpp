#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <cstdio>

namespace pictavo::platform::win32 {

std::string Win32Clock::timeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(now.wHour),
                  static_cast<unsigned>(now.wMinute), static_cast<unsigned>(now.wSecond));
    return text;
}

void Win32Clock::pause(int milliseconds) {
    if (milliseconds <= 0) return;
    // Waiting on the message queue rather than sleeping lets the caller's next
    // event pass see input at once; nothing is dispatched here.
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(milliseconds), QS_ALLINPUT, 0);
}

}  // namespace pictavo::platform::win32
