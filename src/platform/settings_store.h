#pragma once
// Per-user settings store: text values addressed by application, section and key.

#include <string>

namespace pictavo::platform {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or fallback when the key is missing or unreadable.
    virtual std::string read(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& fallback) = 0;
    // False when the value could not be written.
    virtual bool write(const std::string& app, const std::string& section,
                       const std::string& key, const std::string& value) = 0;
};

}  // namespace pictavo::platform
