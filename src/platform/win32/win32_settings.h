#pragma once
// Settings in the registry, where the classic per-user store keeps them:
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>.

#include "platform/settings_store.h"

namespace pictavo::platform::win32 {

class Win32Settings final : public SettingsStore {
public:
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;
};

}  // namespace pictavo::platform::win32
