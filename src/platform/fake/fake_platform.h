#pragma once
// Every fake facility in one object, with files below a fresh temporary
// directory that is removed again.

#include <filesystem>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_effects.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_pictures.h"
#include "platform/fake/fake_settings.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "platform/platform.h"

namespace pictavo::platform::fake {

class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    Platform platform() { return {windows, settings, system, files, clock, pictures, effects}; }

    FakeClock clock;
    FakeWindowSystem windows{clock};
    FakeSettings settings;
    FakeSystem system{windows};
    FakeFiles files;
    FakePictureLoader pictures{files, clock};
    FakeEffects effects;
};

}  // namespace pictavo::platform::fake
