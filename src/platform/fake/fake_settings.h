#pragma once
// Settings store kept in a map, keyed "app\section\key".

#include <map>
#include <string>

#include "platform/settings_store.h"

namespace pictavo::platform::fake {

class FakeSettings final : public SettingsStore {
public:
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override {
        auto it = values.find(app + "\\" + section + "\\" + key);
        return it == values.end() ? fallback : it->second;
    }
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override {
        if (readOnly) return false;
        values[app + "\\" + section + "\\" + key] = value;
        ++writes;
        return true;
    }

    std::map<std::string, std::string> values;
    bool readOnly = false;
    int writes = 0;
};

}  // namespace pictavo::platform::fake
