#include "platform/win32/win32_picture.h"

namespace pictavo::platform::win32 {

std::shared_ptr<Win32Picture> Win32Picture::create(int bitmapWidth, int bitmapHeight, int naturalWidth,
                                                   int naturalHeight, void** bits) {
    if (bitmapWidth <= 0 || bitmapHeight <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bitmapWidth;
    info.bmiHeader.biHeight = -bitmapHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    unique_hbitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (!bitmap || !pixels) return nullptr;
    if (bits) *bits = pixels;
    return std::make_shared<Win32Picture>(std::move(bitmap), bitmapWidth, bitmapHeight, naturalWidth, naturalHeight);
}

void drawPicture(HDC dc, const Win32Picture& picture, const RECT& dest) {
    unique_hdc memory(CreateCompatibleDC(dc));
    if (!memory) return;
    select_scope selected(memory.get(), picture.bitmap());
    const int width = dest.right - dest.left;
    const int height = dest.bottom - dest.top;
    if (width == picture.bitmapWidth() && height == picture.bitmapHeight()) {
        BitBlt(dc, dest.left, dest.top, width, height, memory.get(), 0, 0, SRCCOPY);
        return;
    }
    const int oldMode = SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin{};
    SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    StretchBlt(dc, dest.left, dest.top, width, height, memory.get(), 0, 0, picture.bitmapWidth(),
               picture.bitmapHeight(), SRCCOPY);
    SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    SetStretchBltMode(dc, oldMode);
}

}  // namespace pictavo::platform::win32
