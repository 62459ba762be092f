#include "platform/win32/win32_label.h"

#include <algorithm>

#include "platform/form_layout.h"
#include "platform/win32/win32_controls.h"

namespace pictavo::platform::win32 {

COLORREF labelColor(std::uint32_t foreColor) {
    return foreColor == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : static_cast<COLORREF>(foreColor);
}

void drawLabelText(HDC dc, const RECT& rect, const std::wstring& text, HFONT font, COLORREF color, bool enabled,
                   bool wrap) {
    if (text.empty()) return;
    select_scope selected(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, enabled ? color : GetSysColor(COLOR_GRAYTEXT));
    RECT area = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS | (wrap ? DT_WORDBREAK : 0u));
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}


SIZE measureText(HWND window, HFONT font, const std::wstring& text) {
    unique_window_dc dc(window);
    if (!dc) return {0, 0};
    select_scope selected(dc.get(), font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    if (text.empty()) return {0, metrics.tmHeight};
    RECT area{0, 0, 0, 0};
    DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &area,
              DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
    return {area.right - area.left, std::max<LONG>(area.bottom - area.top, metrics.tmHeight)};
}

void LabelImage::draw(HWND label, const std::wstring& text, const LabelLook& look) {
    RECT client{};
    GetClientRect(label, &client);
    const SIZE size{client.right, client.bottom};
    if (drawn_ && size.cx == size_.cx && size.cy == size_.cy) return;
    drawn_ = false;
    if (size.cx <= 0 || size.cy <= 0) return;
    if (!dc_ || size.cx != size_.cx || size.cy != size_.cy) {
        unique_window_dc screen(label);
        if (!screen) return;
        if (!dc_) dc_.reset(CreateCompatibleDC(screen.get()));
        unique_hbitmap bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
        if (!dc_ || !bitmap) return;
        SelectObject(dc_.get(), bitmap.get());
        bitmap_ = std::move(bitmap);
        size_ = size;
    }
    // Selecting a font realises it anew each time, which is slow for fonts
    // the system substitutes; the image's own DC keeps its font selected.
    if (look.font != font_) {
        SelectObject(dc_.get(), look.font);
        font_ = look.font;
    }
    FillRect(dc_.get(), &client, look.background);
    drawLabelText(dc_.get(), client, text, nullptr, look.color, look.enabled, look.wrap);
    drawn_ = true;
}

void LabelImage::copyTo(HDC dc) const {
    if (drawn_) BitBlt(dc, 0, 0, size_.cx, size_.cy, dc_.get(), 0, 0, SRCCOPY);
}

bool LabelImage::show(HWND label, const std::wstring& text, const LabelLook& look) {
    if (!IsWindowVisible(label)) return false;
    draw(label, text, look);
    unique_window_dc dc(label);
    if (!dc) return false;
    copyTo(dc.get());
    return true;
}

void paintLabelOver(HDC dc, HWND label, const std::vector<LabelUnderlay>& below, const std::wstring& text,
                    const LabelLook& look) {
    RECT client{};
    GetClientRect(label, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    unique_hdc memory(CreateCompatibleDC(dc));
    unique_hbitmap bitmap(CreateCompatibleBitmap(dc, width, height));
    if (!memory || !bitmap) return;
    select_scope selected(memory.get(), bitmap.get());
    FillRect(memory.get(), &client, look.background);
    for (const LabelUnderlay& layer : below) {
        const int saved = SaveDC(memory.get());
        IntersectClipRect(memory.get(), 0, 0, width, height);
        if (layer.image)
            paintImage(memory.get(), layer.area, layer.picture, layer.stretch, look.background);
        else if (layer.text)
            drawLabelText(memory.get(), layer.area, *layer.text, layer.look.font, layer.look.color, layer.look.enabled,
                          layer.look.wrap);
        RestoreDC(memory.get(), saved);
    }
    drawLabelText(memory.get(), client, text, look.font, look.color, look.enabled, look.wrap);
    BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

}  // namespace pictavo::platform::win32
