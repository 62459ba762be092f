#pragma once
// Every Windows facility in one object, for the program and the benchmarks.
// COM and the common controls are set up for the calling thread first.

#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_effects.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_picture_loader.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_window_system.h"

namespace pictavo::platform::win32 {

class ComApartment {
public:
    ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment();

private:
    bool ok_;
};

class Win32Platform {
public:
    explicit Win32Platform(HINSTANCE instance);
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    Platform platform() { return {windows, settings, system, files, clock, pictures, effects}; }

private:
    ComApartment com_;

public:
    Win32WindowSystem windows;
    Win32Settings settings;
    Win32System system;
    Win32Files files;
    Win32Clock clock;
    Win32PictureLoader pictures;
    Win32Effects effects;
};

}  // namespace pictavo::platform::win32
