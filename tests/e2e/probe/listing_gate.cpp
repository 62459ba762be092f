// Stands in for the command interpreter (as COMSPEC) in an end-to-end test:
// waits until the file named by PICTAVO_LISTING_GATE exists, then runs the
// real interpreter with the same arguments. The test sees what the program
// shows while its listing runs, however fast the listing would be.

#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_system.h"

int wmain() {
    wchar_t gate[4 * MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"PICTAVO_LISTING_GATE", gate, MAX_PATH * 4);
    while (length > 0 && length < MAX_PATH * 4 && GetFileAttributesW(gate) == INVALID_FILE_ATTRIBUTES) Sleep(100);

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring line = L"\"" + std::wstring(system) + L"\\cmd.exe\" " +
                        pictavo::platform::win32::argumentsOf(GetCommandLineW());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    pictavo::platform::win32::unique_handle thread(process.hThread), running(process.hProcess);
    WaitForSingleObject(running.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(running.get(), &code);
    return static_cast<int>(code);
}
