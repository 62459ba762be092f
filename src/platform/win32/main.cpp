// The program's entry on Windows: every facility made real, then the program.

#include <windows.h>

#include "platform/program_entry.h"
#include "platform/win32/decode_worker.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_trace.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    if (const auto served = pictavo::platform::win32::serveDecodeWorkerIfAsked()) return *served;
    try {
        pictavo::platform::win32::Win32Platform real(instance);
        auto platform = real.platform();
        return pictavo::runProgram(platform);
    } catch (...) {
        // The program's own state is gone; say so with what the system still offers.
        pictavo::platform::win32::trace("ended by an unexpected exception");
        MessageBoxW(nullptr, L"Pictavo wurde nach einem unerwarteten Fehler beendet.", L"FEHLER:", MB_OK);
        return 1;
    }
}
