#include "platform/win32/win32_fonts.h"

#include <cmath>
#include <cstdlib>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_dpi.h"

namespace pictavo::platform::win32 {

namespace {

LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        LOGFONTW fallback{};
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
        metrics.lfMessageFont = fallback;
    }
    LOGFONTW font = metrics.lfMessageFont;
    // The metrics are in the system's DPI; a window on another monitor scales them.
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
    return font;
}

LOGFONTW describe(const Font& font, UINT dpi) {
    LOGFONTW logFont{};
    if (font.face.empty()) {
        logFont = messageFont(dpi);
        if (font.bold) logFont.lfWeight = FW_BOLD;
        return logFont;
    }
    logFont.lfHeight = -static_cast<LONG>(std::lround(font.points * static_cast<double>(dpi) / 72.0));
    logFont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = widen(font.face);
    wcsncpy_s(logFont.lfFaceName, LF_FACESIZE, face.c_str(), _TRUNCATE);
    return logFont;
}

}  // namespace

int pixelHeight(const Font& font, UINT dpi) { return std::abs(describe(font, dpi).lfHeight); }

unique_hfont FontCache::make(const Font& font, UINT dpi, int smaller) {
    LOGFONTW described = describe(font, dpi);
    // A negative height counts the characters, a positive one their cells.
    described.lfHeight += described.lfHeight < 0 ? smaller : -smaller;
    return unique_hfont(CreateFontIndirectW(&described));
}

HFONT FontCache::get(const Font& font, UINT dpi, int smaller) {
    const Key key{font.face, std::lround(font.points * 100), font.bold, dpi, smaller};
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second.get();
    unique_hfont created = make(font, dpi, smaller);
    HFONT result = created ? created.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (created) fonts_.emplace(key, std::move(created));
    return result;
}

}  // namespace pictavo::platform::win32
