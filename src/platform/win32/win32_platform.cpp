#include "platform/win32/win32_platform.h"

#include <commctrl.h>
#include <objbase.h>

namespace pictavo::platform::win32 {

ComApartment::ComApartment()
    : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
}

ComApartment::~ComApartment() {
    if (ok_) CoUninitialize();
}

Win32Platform::Win32Platform(HINSTANCE instance) : windows(instance) {}

}  // namespace pictavo::platform::win32
