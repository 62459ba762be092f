#include "platform/win32/win32_caption_fit.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <set>
#include <string>

#include "platform/win32/text_conv.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_trace.h"

namespace pictavo::platform::win32 {

namespace {

// The room a control leaves its caption, in pixels, and how it draws it there.
struct CaptionRoom {
    int width = 0, height = 0;
    UINT format = 0;
};

// Nothing for a control whose caption does not have to fit: none, or a label
// that sizes itself to its text. dc holds the font.
std::optional<CaptionRoom> captionRoom(HDC dc, const ControlLayout& control, UINT dpi) {
    if (control.caption.empty()) return std::nullopt;
    const int width = twipsToPixels(control.width, dpi);
    const int height = twipsToPixels(control.height, dpi);
    auto px = [dpi](int at96Dpi) { return MulDiv(at96Dpi, static_cast<int>(dpi), 96); };
    switch (control.kind) {
        case ControlKind::Label:
            if (control.autoSize) return std::nullopt;
            return CaptionRoom{width, height, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS};
        case ControlKind::CheckBox: {
            // The box, and half a digit's width between it and the text.
            SIZE digit{};
            GetTextExtentPoint32W(dc, L"0", 1, &digit);
            return CaptionRoom{width - px(14) - digit.cx / 2, height, DT_SINGLELINE};
        }
        case ControlKind::Button:
            return CaptionRoom{width - px(8), height - px(4), DT_SINGLELINE};
        case ControlKind::Frame:
            return CaptionRoom{width - px(16), INT_MAX, DT_SINGLELINE};
        default:
            return std::nullopt;
    }
}

bool sameFont(const Font& a, const Font& b) { return a.face == b.face && a.points == b.points && a.bold == b.bold; }

struct Fit {
    bool all = true;   // every caption fits
    double fill = 0;   // the largest share of its room's width that a caption takes
};

// How the captions of the controls that name font fit when drawn in shown.
Fit measure(HDC dc, HFONT shown, const FormLayout& layout, const Font& font, UINT dpi) {
    select_scope selected(dc, shown);
    Fit fit;
    for (const ControlLayout& control : layout.controls) {
        if (!sameFont(control.font, font)) continue;
        const auto room = captionRoom(dc, control, dpi);
        if (!room) continue;
        const std::wstring text = widen(control.caption);
        RECT needed{0, 0, room->width, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | room->format);
        fit.all = fit.all && needed.right <= room->width && needed.bottom <= room->height;
        fit.fill = std::max(fit.fill, static_cast<double>(needed.right) / std::max(1, room->width));
    }
    return fit;
}

// Font enumeration calls back with the stdcall convention, which lambdas lack
// in the 32-bit build.
int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool installed(HDC dc, const std::string& face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy_s(wanted.lfFaceName, LF_FACESIZE, widen(face).c_str(), _TRUNCATE);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

struct FaceSearch {
    BYTE family;  // FF_SWISS, FF_ROMAN, ...
    std::set<std::wstring> faces;
};

int CALLBACK noteFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM search) {
    auto& s = *reinterpret_cast<FaceSearch*>(search);
    if (!(type & RASTER_FONTTYPE) && font->lfFaceName[0] != L'@' && (font->lfPitchAndFamily & 0xF0) == s.family)
        s.faces.insert(font->lfFaceName);
    return 1;
}

// The installed scalable faces with Western characters of the same kind as
// the font the system gives for a name.
std::set<std::wstring> facesLike(HDC dc, HFONT given) {
    TEXTMETRICW metrics{};
    {
        select_scope selected(dc, given);
        GetTextMetricsW(dc, &metrics);
    }
    FaceSearch search{static_cast<BYTE>(metrics.tmPitchAndFamily & 0xF0), {}};
    LOGFONTW all{};
    all.lfCharSet = ANSI_CHARSET;
    EnumFontFamiliesExW(dc, &all, noteFace, reinterpret_cast<LPARAM>(&search), 0);
    return search.faces;
}

HFONT fittedFont(FontCache& fonts, HDC dc, const FormLayout& layout, const Font& font, UINT dpi) {
    HFONT named = fonts.get(font, dpi);
    if (measure(dc, named, layout, font, dpi).all) return named;

    if (!font.face.empty() && !installed(dc, font.face)) {
        std::optional<Font> best;
        double bestFill = 0;
        for (const std::wstring& face : facesLike(dc, named)) {
            const Font standIn{narrow(face), font.points, font.bold};
            const unique_hfont candidate = FontCache::make(standIn, dpi);
            if (!candidate) continue;
            const Fit fit = measure(dc, candidate.get(), layout, font, dpi);
            if (fit.all && fit.fill > bestFill) {
                best = standIn;
                bestFill = fit.fill;
            }
        }
        if (best) return fonts.get(*best, dpi);
    }

    const int mostSmaller = pixelHeight(font, dpi) / 3;
    for (int smaller = 1; smaller <= mostSmaller; ++smaller) {
        HFONT shown = fonts.get(font, dpi, smaller);
        if (measure(dc, shown, layout, font, dpi).all) return shown;
    }
    trace(layout.name + ": a caption does not fit even in " +
          (font.face.empty() ? std::string("the message font") : font.face) + " at two thirds of its height");
    return fonts.get(font, dpi, mostSmaller);
}

}  // namespace

std::vector<HFONT> fittedFonts(FontCache& fonts, const FormLayout& layout, UINT dpi) {
    unique_hdc dc(CreateCompatibleDC(nullptr));
    if (!dc) trace("no device context to measure the captions of " + layout.name);
    std::vector<HFONT> result(layout.controls.size(), nullptr);
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (result[i]) continue;
        const Font& font = layout.controls[i].font;
        HFONT shown = dc ? fittedFont(fonts, dc.get(), layout, font, dpi) : fonts.get(font, dpi);
        for (std::size_t j = i; j < layout.controls.size(); ++j)
            if (sameFont(layout.controls[j].font, font)) result[j] = shown;
    }
    return result;
}

}  // namespace pictavo::platform::win32
