#include "platform/win32/win32_label.h"

#include "platform/win32/win32_controls.h"

namespace pictavo::platform::win32 {

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

}  // namespace pictavo::platform::win32
