#include "platform/win32/win32_settings.h"

#include <string>
#include <vector>

#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_trace.h"

namespace pictavo::platform::win32 {

namespace {
std::wstring keyPath(const std::string& app, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + widen(app) + L"\\" + widen(section);
}
}  // namespace

std::string Win32Settings::read(const std::string& app, const std::string& section, const std::string& key,
                                const std::string& fallback) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath(app, section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return fallback;
    unique_hkey hkey(raw);
    const std::wstring name = widen(key);
    // The value may grow between the two calls; ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD bytes = 0;
        if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return fallback;
        if (type != REG_SZ) {
            trace("setting " + key + " is of registry type " + std::to_string(type) + ", not text; default taken");
            return fallback;
        }
        std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
        DWORD size = bytes;
        const LSTATUS status = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                                                reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS || type != REG_SZ) return fallback;
        std::wstring value(buffer.data(), size / sizeof(wchar_t));
        // A stored string may or may not carry its terminator.
        while (!value.empty() && value.back() == L'\0') value.pop_back();
        return narrow(value);
    }
    return fallback;
}

bool Win32Settings::write(const std::string& app, const std::string& section, const std::string& key,
                          const std::string& value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(app, section).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    unique_hkey hkey(raw);
    const std::wstring text = widen(value);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(hkey.get(), widen(key).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace pictavo::platform::win32
