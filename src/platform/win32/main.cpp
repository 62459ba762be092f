// The program's entry on Windows: every facility made real, then the program.

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_effects.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_picture_loader.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_window_system.h"
#include "shell/program.h"

namespace {

class ComApartment {
public:
    ComApartment() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (ok_) CoUninitialize();
    }

private:
    bool ok_;
};

int run(HINSTANCE instance) {
    namespace win32 = pictavo::platform::win32;
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    win32::Win32WindowSystem windows(instance);
    win32::Win32Settings settings;
    win32::Win32System system;
    win32::Win32Files files;
    win32::Win32Clock clock;
    win32::Win32PictureLoader pictures;
    win32::Win32Effects effects;
    pictavo::platform::Platform platform{windows, settings, system, files, clock, pictures, effects};
    return pictavo::runProgram(platform);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return run(instance);
    } catch (...) {
        // Nothing can be shown any more; end with a failure code.
        return 1;
    }
}
