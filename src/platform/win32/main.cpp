// The program's entry on Windows: every facility made real, then the program.

#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "shell/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        pictavo::platform::win32::Win32Platform real(instance);
        auto platform = real.platform();
        return pictavo::runProgram(platform);
    } catch (...) {
        // Nothing can be shown any more; end with a failure code.
        return 1;
    }
}
