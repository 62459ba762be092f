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
    // An empty face gives the system's message font. smaller: pixels off its
    // height. The font lives as long as the cache.
    HFONT get(const Font& font, UINT dpi, int smaller = 0);
    // The same font made anew, for the caller alone.
    static unique_hfont make(const Font& font, UINT dpi, int smaller = 0);

private:
    using Key = std::tuple<std::string, long, bool, UINT, int>;
    std::map<Key, unique_hfont> fonts_;
};

// The font's height in pixels (of its characters or of its cells).
int pixelHeight(const Font& font, UINT dpi);

}  // namespace pictavo::platform::win32
