#pragma once
// A decoded picture as a 32-bit top-down DIB section. The bitmap may be
// smaller than the picture's natural size when it was decoded scaled down.

#include <windows.h>

#include <memory>

#include "platform/picture.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

class Win32Picture final : public Picture {
public:
    // Null when the bitmap cannot be made. bits receives the first pixel row.
    static std::shared_ptr<Win32Picture> create(int bitmapWidth, int bitmapHeight, int naturalWidth,
                                                int naturalHeight, void** bits);

    int widthPx() const override { return naturalWidth_; }
    int heightPx() const override { return naturalHeight_; }
    int bitmapWidth() const { return bitmapWidth_; }
    int bitmapHeight() const { return bitmapHeight_; }
    HBITMAP bitmap() const { return bitmap_.get(); }

    Win32Picture(unique_hbitmap bitmap, int bitmapWidth, int bitmapHeight, int naturalWidth, int naturalHeight)
        : bitmap_(std::move(bitmap)),
          bitmapWidth_(bitmapWidth),
          bitmapHeight_(bitmapHeight),
          naturalWidth_(naturalWidth),
          naturalHeight_(naturalHeight) {}

private:
    unique_hbitmap bitmap_;
    int bitmapWidth_, bitmapHeight_;
    int naturalWidth_, naturalHeight_;
};

// Draws the picture's bitmap into dest with good quality in both directions.
void drawPicture(HDC dc, const Win32Picture& picture, const RECT& dest);

}  // namespace pictavo::platform::win32
