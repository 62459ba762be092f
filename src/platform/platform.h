#pragma once
// The table of facilities a backend fills in.

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/picture.h"
#include "platform/settings_store.h"
#include "platform/system.h"
#include "platform/window_effects.h"
#include "platform/window_system.h"

namespace pictavo::platform {

struct Platform {
    WindowSystem& windows;
    SettingsStore& settings;
    System& system;
    Files& files;
    Clock& clock;
    PictureLoader& pictures;
    WindowEffects& effects;
};

}  // namespace pictavo::platform
