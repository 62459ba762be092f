#pragma once
// Fonts of the controls, made once per face, size, weight and DPI.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "platform/form_layout.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

class FontCache {
public:
    // An empty face gives the system's message font. The font lives as long
    // as the cache.
    HFONT get(const Font& font, UINT dpi);

private:
    using Key = std::tuple<std::string, long, bool, UINT>;
    std::map<Key, unique_hfont> fonts_;
};

}  // namespace pictavo::platform::win32
